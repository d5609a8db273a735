#include "platform/vm/embedded_resources.h"

namespace vm {

std::optional<std::string> EmbeddedResourceText(const std::string& name) {
    for (const EmbeddedFile& file : EmbeddedResourceFiles()) {
        if (name == file.name) return std::string(reinterpret_cast<const char*>(file.bytes), file.size);
    }
    return std::nullopt;
}

}  // namespace vm
