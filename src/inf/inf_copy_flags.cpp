#include "inf/inf_copy_flags.h"

#include <string>
#include <vector>

#include "environment/paths.h"
#include "inf/inf_constants.h"
#include "inf/inf_line_reader.h"

namespace setup {

namespace {

struct CopyFlagFile {
    KernelStreamingInf id;
    const char* inf;
    const char* newFile;
    // Lines from a header whose section name ends in "delfiles" on are
    // copied as they are: deleting a file takes no copy flag.
    bool stopsAtDelFiles;
    // "name=..." lines are source-disk entries, not copy-file entries.
    bool keepsSourceEntries;
    std::vector<std::string> names;  // lower case
};

const std::vector<std::string> kStreamingFiles = {"ksuser.dll", "stream.sys", "ks.sys", "ksproxy.ax"};
const std::vector<std::string> kFilterFiles = {"mspclock.sys", "mskssrv.sys"};

const CopyFlagFile kCopyFlagFiles[] = {
    {KernelStreamingInf::Ks, "ks.inf", "ks.new", true, false, kStreamingFiles},
    {KernelStreamingInf::WdmAudio, "wdmaudio.inf", "wdmaudio.new", true, false, kStreamingFiles},
    {KernelStreamingInf::KsFilter, "ksfilter.inf", "ksfilter.new", false, true, kFilterFiles},
};

// The C run-time's tolower in the "C" locale: ASCII letters only.
std::string LowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class CopyFlagRewriter {
public:
    explicit CopyFlagRewriter(const CopyFlagFile& file) : file_(file) {}

    // The line to write for a line read (line end included).
    std::string Rewrite(const std::string& line) {
        const std::string lower = LowerCase(line);
        if (file_.stopsAtDelFiles) {
            if (Contains(lower, inf::kDelFilesHeaderEnd)) delFilesSeen_ = true;
            if (delFilesSeen_) return line;
        }
        for (const std::string& name : file_.names) {
            if (lower.compare(0, name.size(), name) != 0) continue;
            if (file_.keepsSourceEntries && Contains(lower, name + "=")) return line;
            const std::string flagged = name + inf::kKeepExistingFlags;
            return Contains(lower, flagged) ? line : flagged + inf::kLineEnd;
        }
        return line;
    }

private:
    const CopyFlagFile& file_;
    bool delFilesSeen_ = false;
};

// Copies every line of inf to out, rewritten. False when the copy is not
// faithful: a write failed, the read ended on an error rather than at the
// end of the file, or a line did not come whole.
bool CopyRewritten(platform::FileStream& inf, platform::FileStream& out, const CopyFlagFile& file) {
    CopyFlagRewriter rewriter(file);
    while (const std::optional<InfLine> line = ReadInfLine(inf)) {
        if (!line->CameWhole()) return false;
        if (!out.Write(rewriter.Rewrite(line->text))) return false;
    }
    return inf.Eof() && out.Flush();
}

void RewritePair(platform::Platform& platform, const std::string& infFolder, const CopyFlagFile& file) {
    const std::string infPath = infFolder + file.inf;
    const std::string newPath = infFolder + file.newFile;
    std::unique_ptr<platform::FileStream> inf = platform.fopen(infPath, "rb");
    std::unique_ptr<platform::FileStream> out = platform.fopen(newPath, "wb");
    if (!inf || !out) return;
    const bool faithful = CopyRewritten(*inf, *out, file);
    inf.reset();
    out.reset();
    if (faithful) platform.CopyFile(newPath, infPath, false);
}

}  // namespace

const char* ToString(KernelStreamingInf inf) {
    switch (inf) {
        case KernelStreamingInf::Ks: return "ks.inf";
        case KernelStreamingInf::WdmAudio: return "wdmaudio.inf";
        case KernelStreamingInf::KsFilter: return "ksfilter.inf";
    }
    return "unknown kernel-streaming INF";
}

void RewriteCopyFlags(platform::Platform& platform, KernelStreamingInfs infs) {
    const std::string infFolder = WindowsFolder(platform) + inf::kInfFolder;
    for (const CopyFlagFile& file : kCopyFlagFiles) {
        if (infs.Has(file.id)) RewritePair(platform, infFolder, file);
    }
}

}  // namespace setup
