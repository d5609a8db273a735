#include "environment/package_layout.h"

namespace setup {

const char* ToString(PackageLayout layout) {
    return layout == PackageLayout::Grouped ? "GroupedLayout" : "PerSystemLayout";
}

PackageLayout ProbeLayout(platform::Platform& platform, const std::string& sourceFolder) {
    return platform.SetCurrentDirectory(sourceFolder + "W2K-ME\\") ? PackageLayout::Grouped
                                                                   : PackageLayout::PerSystem;
}

}  // namespace setup
