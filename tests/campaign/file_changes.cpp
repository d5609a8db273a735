#include "campaign/file_changes.h"

#include <cctype>
#include <map>
#include <optional>
#include <set>

#include "campaign/inf_bytes.h"
#include "platform/vm/ini_text.h"
#include "platform/vm/profile.h"

namespace campaign {

namespace {

using Entry = vm::FileSystem::Entry;

const std::string kOrvanta = "c:\\program files\\orvanta";
// Files of the Windows folder itself that the program writes.
const char* const kWindowsFiles[] = {"wininit.ini", "win.ini",   "ovcdplay.ini", "ovxsetup.ini",
                                     "mixerdef.ini", "mixer.dat", "mixer.exe"};
const char* const kKernelStreamingInfs[] = {"ks.inf", "wdmaudio.inf", "ksfilter.inf"};
const char* const kEarlierDriverTexts[] = {"OVX4320", "OVX4720", "OVAUDIO", "Orvanta"};

// Lower-case paths split at their last backslash.
struct Place {
    std::string path;
    std::string folder;
    std::string name;
};

Place PlaceOf(const std::string& path) {
    const std::string lower = vm::Lower(path);
    const std::size_t slash = lower.rfind('\\');
    return {lower, slash == std::string::npos ? "" : lower.substr(0, slash),
            slash == std::string::npos ? lower : lower.substr(slash + 1)};
}

bool Under(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 && path[folder.size()] == '\\';
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

bool IsInfName(const std::string& lowerName) { return lowerName.find(".inf") != std::string::npos; }

// As the cleanup judges an INF file: its "Strings" values, cut after 7
// characters, name an earlier driver.
bool BelongsToEarlierDriver(const std::string& content) {
    for (const char* key : {"SSC-Legacy.DeviceDesc", "WDM_OVPCI.Wave.szPname"}) {
        const std::string value = vm::profile::ReadString(content, "Strings", key).value_or("").substr(0, 7);
        for (const char* text : kEarlierDriverTexts) {
            if (value == text) return true;
        }
    }
    return false;
}

// The path with long names, as far as its folders still exist.
std::string LongPath(vm::VirtualMachine& machine, const std::string& path) {
    const std::string full = machine.FullPath(path).value_or(path);
    if (const std::optional<std::string> found = machine.Files().LongPath(full)) return *found;
    const std::size_t slash = full.rfind('\\');
    if (slash == std::string::npos) return full;
    const std::optional<std::string> folder = machine.Files().LongPath(full.substr(0, slash));
    return folder ? *folder + full.substr(slash) : full;
}

class Judge {
public:
    Judge(const FileRules& rules, const std::vector<Entry>& before, const std::vector<Entry>& after)
        : rules_(rules), windows_(vm::Lower(rules.windowsFolder)) {
        for (const Entry& entry : before) before_[vm::Lower(entry.path)] = &entry;
        for (const Entry& entry : after) after_[vm::Lower(entry.path)] = &entry;
    }

    std::vector<std::string> Problems() {
        for (const auto& [path, entry] : after_) {
            const auto found = before_.find(path);
            const Entry* old = found == before_.end() ? nullptr : found->second;
            const bool changed = !old || old->directory != entry->directory || old->content != entry->content ||
                                 old->attributes != entry->attributes;
            if (!changed) continue;
            if (!MayWrite(rules_, entry->path)) {
                problems_.push_back((old ? "changed " : "created ") + entry->path);
            } else if (!entry->directory && (!old || old->content != entry->content)) {
                CheckInf(*entry, old);
            }
        }
        for (const auto& [path, entry] : before_) {
            if (after_.count(path) == 0 && !MayDelete(PlaceOf(path))) problems_.push_back("deleted " + entry->path);
        }
        return problems_;
    }

private:
    bool OnMedium(const std::string& lowerPath) const {
        return !lowerPath.empty() && std::toupper(static_cast<unsigned char>(lowerPath[0])) == rules_.mediumDrive;
    }

    bool InInfFolders(const std::string& folder) const {
        return folder == windows_ + "\\inf" || folder == windows_ + "\\inf\\other";
    }

    // Earlier drivers' INF files (OEM*.INF and OV*.INF in INF\, every INF
    // file in INF\OTHER\) with their PNF files, and the driver database.
    bool MayDelete(const Place& place) const {
        if (rules_.mediumMayVanish && OnMedium(place.path)) return true;
        if (!InInfFolders(place.folder)) return false;
        const bool infFolder = place.folder == windows_ + "\\inf";
        if (infFolder && (place.name == "drvdata.bin" || place.name == "drvidx.bin")) return true;
        if (infFolder && !StartsWith(place.name, "oem") && !StartsWith(place.name, "ov")) return false;
        if (!EndsWith(place.name, ".inf") && !EndsWith(place.name, ".pnf")) return false;
        // A PNF file goes with its INF file, which must have been an earlier driver's.
        const auto inf = before_.find(place.path.substr(0, place.path.size() - 3) + "inf");
        return inf != before_.end() && BelongsToEarlierDriver(inf->second->content);
    }

    void CheckInf(const Entry& file, const Entry* old) {
        const Place place = PlaceOf(file.path);
        if (!IsInfName(place.name)) return;
        if (place.folder == windows_ + "\\inf" && old) {
            for (const char* name : kKernelStreamingInfs) {
                if (place.name != name) continue;
                if (auto problem = CopyFlagRewriteDifference(old->content, file.content)) {
                    problems_.push_back(file.path + ": " + *problem);
                }
                return;
            }
        }
        InfEdits edits = InfEdits::None;
        if (InInfFolders(place.folder)) {
            edits = InfEdits::InPlaceAndSourceDisks;
        } else if (Under(place.path, kOrvanta)) {
            edits = InfEdits::InPlace;
        } else if (place.folder != vm::Lower(rules_.setupSource)) {
            return;
        }
        // What the file was copied from: the package's file of that name, or
        // the file that was there.
        std::vector<const std::string*> sources;
        for (const auto& [path, entry] : before_) {
            if (OnMedium(path) && PlaceOf(path).name == place.name) sources.push_back(&entry->content);
        }
        if (old) sources.push_back(&old->content);
        // A copy that failed leaves the source-disk entries to make the file alone.
        static const std::string kNothing;
        if (!old && edits == InfEdits::InPlaceAndSourceDisks) sources.push_back(&kNothing);
        if (sources.empty()) {
            problems_.push_back(file.path + ": an INF file that is no package file");
            return;
        }
        // Of the sources it differs from, name the one it differs from in
        // a byte rather than in length: the one it was copied from.
        std::optional<std::string> closest;
        for (const std::string* source : sources) {
            const std::optional<std::string> problem = InfCopyDifference(*source, file.content, edits);
            if (!problem) return;
            if (!closest || (closest->rfind("line ", 0) != 0 && problem->rfind("line ", 0) == 0)) closest = problem;
        }
        problems_.push_back(file.path + ": " + *closest);
    }

    const FileRules& rules_;
    const std::string windows_;
    std::map<std::string, const Entry*> before_;
    std::map<std::string, const Entry*> after_;
    std::vector<std::string> problems_;
};

}  // namespace

bool MayWrite(const FileRules& rules, const std::string& path) {
    const Place place = PlaceOf(path);
    const std::string windows = vm::Lower(rules.windowsFolder);
    if (place.path == "c:\\program files" || place.path == kOrvanta || Under(place.path, kOrvanta)) return true;
    if (place.path == windows + "\\inf\\other" || place.path == windows + "\\inf\\catalog") return true;
    if (place.folder == windows + "\\inf" || place.folder == windows + "\\inf\\other" ||
        place.folder == windows + "\\inf\\catalog") {
        return true;
    }
    if (place.folder == windows) {
        for (const char* name : kWindowsFiles) {
            if (place.name == name) return true;
        }
    }
    if (place.folder == vm::Lower(rules.mixerFolder) && place.name == "mixer.exe") return true;
    return place.folder == vm::Lower(rules.setupSource);
}

std::vector<std::string> CheckWrites(const FileRules& rules, const vm::Journal& journal, vm::VirtualMachine& machine) {
    // The journal entries that write, and the field naming the path.
    static const std::pair<const char*, const char*> kWrites[] = {
        {"copy file", "to"},     {"write profile", "file"},  {"write file", "path"},
        {"open file", "path"},   {"create folder", "path"},  {"set attributes", "path"},
    };
    std::vector<std::string> problems;
    std::set<std::string> seen;
    for (const vm::JournalEntry& entry : journal.Entries()) {
        for (const auto& [kind, field] : kWrites) {
            if (entry.kind != kind || entry.Get("result") == "failed") continue;
            const std::string path = LongPath(machine, entry.Get(field));
            if (!MayWrite(rules, path) && seen.insert(vm::Lower(path)).second) {
                problems.push_back(std::string(kind) + " " + path);
            }
        }
    }
    return problems;
}

std::vector<std::string> CheckFileChanges(const FileRules& rules, const std::vector<vm::FileSystem::Entry>& before,
                                          const std::vector<vm::FileSystem::Entry>& after) {
    return Judge(rules, before, after).Problems();
}

}  // namespace campaign
