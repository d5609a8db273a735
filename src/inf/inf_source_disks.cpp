#include "inf/inf_source_disks.h"

#include "inf/inf_constants.h"

namespace setup {

namespace {

struct SourceDiskRewrite {
    SourceDiskForm form;
    const char* diskKey;
    const char* stagingPath;
    bool shortPath;           // the 8.3 form of the staging path
    bool onlyWhenPresent;     // an absent or empty entry is left alone
    const char* description;  // replaces the value read, when set
    const char* separator;    // between the value and the path
    bool catalogOnDisk;       // [SourceDisksFiles] ovaudio.cat=200
};

const SourceDiskRewrite kRewrites[] = {
    {SourceDiskForm::VxdLongPath, inf::kVxdDiskKey, inf::kVxdStagingPath, false, false, nullptr, inf::kPathSeparator,
     false},
    {SourceDiskForm::WdmFixedDescription, inf::kWdmDiskKey, inf::kWdmStagingPath, true, true, inf::kWdmDiskDescription,
     "", true},
    {SourceDiskForm::VxdShortPath, inf::kVxdDiskKey, inf::kVxdStagingPath, true, true, nullptr, inf::kPathSeparator,
     false},
    {SourceDiskForm::WdmAppendedShortPath, inf::kWdmDiskKey, inf::kWdmStagingPath, true, true, nullptr, "", true},
};

}  // namespace

const char* ToString(SourceDiskForm form) {
    switch (form) {
        case SourceDiskForm::VxdLongPath: return "VxD disk entry with the long staging path";
        case SourceDiskForm::WdmFixedDescription: return "WDM disk entry with the fixed description";
        case SourceDiskForm::VxdShortPath: return "VxD disk entry with the short staging path";
        case SourceDiskForm::WdmAppendedShortPath: return "WDM disk entry with the short staging path appended";
    }
    return "unknown source-disk form";
}

void RewriteSourceDisks(platform::Platform& platform, const std::string& infPath, SourceDiskForm form) {
    const SourceDiskRewrite* found = nullptr;
    for (const SourceDiskRewrite& candidate : kRewrites) {
        if (candidate.form == form) found = &candidate;
    }
    if (!found) return;
    const SourceDiskRewrite& rewrite = *found;
    // The whole value, however long: read through a fixed buffer, a long
    // entry would lose its end when it is written back with the path added.
    const std::string value = platform.GetPrivateProfileString(inf::kSourceDisksNames, rewrite.diskKey, "", infPath);
    if (rewrite.onlyWhenPresent && value.empty()) return;

    std::string path = rewrite.stagingPath;
    if (rewrite.shortPath) {
        // Only a missing staging folder has no short form; the entry then
        // keeps pointing at its disk rather than at nothing.
        const std::optional<std::string> shortPath = platform.GetShortPathName(path);
        if (!shortPath) return;
        path = *shortPath;
    }
    const std::string entry = (rewrite.description ? rewrite.description : value) + rewrite.separator + path;
    platform.WritePrivateProfileString(inf::kSourceDisksNames, rewrite.diskKey, entry, infPath);
    if (rewrite.catalogOnDisk) {
        platform.WritePrivateProfileString(inf::kSourceDisksFiles, inf::kCatalogFileKey, inf::kWdmDiskKey, infPath);
    }
}

}  // namespace setup
