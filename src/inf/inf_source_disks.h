// Source-disk entries of an INF copy placed in the Windows INF folders:
// the path field of its disk entry points at the staging folder, so that
// Windows finds the driver files there.
#pragma once

#include <string>

#include "platform/platform.h"

namespace setup {

enum class SourceDiskForm {
    // VxD option dialog: disk "1" gets ", C:\Program Files\Orvanta\WIN_9x"
    // appended, also when it was absent.
    VxdLongPath,
    // WDM: disk "200", if present, becomes the fixed description and the
    // short staging path; the catalog is on disk 200.
    WdmFixedDescription,
    // VxD staging: disk "1", if present, gets ", " and the short staging path.
    VxdShortPath,
    // WDM staging from the medium: disk "200", if present, gets the short
    // staging path right after its value; the catalog is on disk 200.
    WdmAppendedShortPath,
};

const char* ToString(SourceDiskForm form);

void RewriteSourceDisks(platform::Platform& platform, const std::string& infPath, SourceDiskForm form);

}  // namespace setup
