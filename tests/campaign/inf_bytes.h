// Which bytes of an INF file the program may change: the one character of
// a Config switch line, column 48 of a Settings line, the lines of
// [SourceDisksNames] and [SourceDisksFiles] (profile writes), and in the
// system's kernel-streaming INF files whole copy-file lines replaced by the
// flagged entry. Each check returns what broke the rules, or nullopt.
#pragma once

#include <optional>
#include <string>

namespace campaign {

enum class InfEdits {
    None,          // a copy, byte for byte
    InPlace,       // the Config switches and Settings values only
    InPlaceAndSourceDisks,
};

// copy against the package's file (or what the file held before).
std::optional<std::string> InfCopyDifference(const std::string& package, const std::string& copy, InfEdits edits);

// A kernel-streaming INF ("ks.inf", "wdmaudio.inf", "ksfilter.inf") after the
// copy-flag rewrite against the file before it.
std::optional<std::string> CopyFlagRewriteDifference(const std::string& before, const std::string& after);

}  // namespace campaign
