// A machine whose C run-time streams have the Windows run-time's rough
// edges, which the virtual one spares the program.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "support/machine_fixture.h"

namespace inftest {

struct CrtQuirks {
    // After a read in text mode, ftell counts every '\n' still in its buffer
    // as CR LF: in a file with LF-only line ends it reports offsets that are
    // too small (the whole small file sits in the buffer).
    bool textTellCountsLfAsCrLf = false;
    // fgets hands back its buffer and the program sees it through strlen:
    // the text ends at a NUL byte.
    bool getsStopsAtNul = false;
    // Bytes the disk takes before writes fail.
    std::optional<std::size_t> writeRoom;
};

class CrtQuirksMachine : public testsupport::TestMachine {
public:
    explicit CrtQuirksMachine(CrtQuirks q) : quirks(q) {}
    CrtQuirks quirks;
    std::unique_ptr<platform::FileStream> fopen(const std::string& path, const std::string& mode) override;
};

}  // namespace inftest
