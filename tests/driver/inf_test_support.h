// Shared by the INF rule tests: the test INF files, expected texts, and a
// machine whose C run-time streams have the Windows run-time's rough edges.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "driver/option_state.h"
#include "support/machine_fixture.h"

namespace inftest {

// A file of tests/data/inf, byte for byte.
std::string TestInf(const std::string& relative);

// text with the first occurrence of each `from` replaced by its `to`; a
// `from` that does not occur fails the test.
std::string Replaced(std::string text, const std::vector<std::pair<std::string, std::string>>& changes);

// The text with CR LF line ends turned into LF.
std::string WithLfLineEnds(const std::string& text);

// The jack boxes ticked, in the form of the dialogs' control ids.
struct Ticks {
    bool box1011 = false;
    bool box1012 = false;
    bool box1013 = false;
};
const std::vector<Ticks>& ReachableTickSets();  // {1011}, {1012}, {1013}, {1011, 1013}
std::string ToString(const Ticks& ticks);
setup::OptionState OptionsWith(bool motherboard, const Ticks& ticks);

// What the Windows run-time does that the virtual one spares the program.
struct CrtQuirks {
    // After a read in text mode, ftell counts every '\n' still in its buffer
    // as CR LF, so in a file with LF-only line ends it reports offsets that
    // are too small (the whole small file sits in the buffer).
    bool textTellCountsLfAsCrLf = false;
    // fgets hands back its buffer, and the program sees it through strlen:
    // the text ends at a NUL byte.
    bool getsStopsAtNul = false;
    // Bytes the disk takes before writes fail.
    std::optional<std::size_t> writeRoom;
};

class CrtQuirksMachine : public testsupport::TestMachine {
public:
    CrtQuirks quirks;
    std::unique_ptr<platform::FileStream> fopen(const std::string& path, const std::string& mode) override;
};

}  // namespace inftest
