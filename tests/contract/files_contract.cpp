// Files, searches and short names: wildcards on long names and aliases, the
// refusals of read-only and hidden files, GetShortPathName's forms.
#include <algorithm>

#include "contract/contract.h"

namespace contract {

namespace {

using namespace platform;

constexpr const char* kWineAliases = "Wine's 8.3 aliases are hashes of the long name";
constexpr const char* kWineArchive = "Wine reports every file with the archive bit";
// The Wine tests run as root, and so does Wine's CopyFile over such files.
constexpr const char* kWineOverwrites = "Wine writes over read-only and hidden files";

std::string Folder(Platform& api, const std::string& name) {
    api.CreateDirectory(std::string(Host::kFolder) + "\\" + name);
    return std::string(Host::kFolder) + "\\" + name + "\\";
}

// The long names a search yields, sorted: the order is the file system's.
std::string Names(const std::vector<FindData>& found) {
    std::vector<std::string> names;
    for (const FindData& data : found) names.push_back(data.fileName);
    std::sort(names.begin(), names.end());
    std::string joined;
    for (const std::string& name : names) joined += name + " ";
    return joined;
}

void Searches(Host& host, Report& report) {
    const std::string find = Folder(host.api, "FIND");
    for (const char* name : {"OEM0.INF", "x.infx", "Readme", "oem1.inf", "zz.INF"}) PutFile(host.api, find + name, "12345678");
    host.api.CreateDirectory(find + "OTHER");
    const std::tuple<std::string, const char*, const char*> rows[] = {
        /* 0 */ {find + "*.INF", "OEM0.INF oem1.inf x.infx zz.INF ", nullptr},  // x.infx by its alias X~1.INF
        /* 1 */ {find + "oem?.INF", "OEM0.INF oem1.inf ", nullptr},
        /* 2 */ {find + "*.", ". .. OTHER Readme ", "Wine's \"*.\" matches names with an extension too"},
        /* 3 */ {find + "X~1.INF", "x.infx ", kWineAliases},
        /* 4 */ {find + "OEM0?.???", "OEM0.INF ", "Wine's '?' before a dot or the end needs a character"},
        /* 5 */ {find + "re?dme.*", "Readme ", nullptr},
        /* 6 */ {find + "*a*a*a*a*b", "", nullptr},
        /* 7 */ {"C:/CONTRACT/FIND/zz.inf", "zz.INF ", nullptr},
        /* 8 */ {std::string(Host::kFolder) + "\\F*\\*.INF", "", nullptr},  // wildcards only in the last component
        /* 9 */ {find + "Readme\\*.*", "", nullptr},
        /* 10 */ {find, "", nullptr},  // a pattern ending in a separator
        /* 11 */ {find.substr(0, find.size() - 1), "FIND ", nullptr},
        /* 12 */ {find + "missing.*", "", nullptr},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& [pattern, names, wine] = rows[i];
        report.Expect("search " + std::to_string(i), Names(host.api.FindFiles(pattern)), std::string(names), wine);
    }
    const std::vector<FindData> found = host.api.FindFiles(find + "OEM0.INF");
    report.Expect("search entry's size", found.empty() ? -1 : static_cast<long long>(found[0].size), Windows<long long>(8));
}

// Each row in a folder of its own holding "existing.txt" (archive),
// "readonly.txt", "hidden.txt" and a folder "folder"; the source is read-only.
void Operations(Host& host, Report& report) {
    Platform& api = host.api;
    const std::string ops = Folder(api, "OPS"), source = ops + "Source File.txt";
    PutFile(api, source, "source");
    api.SetFileAttributes(source, FILE_ATTRIBUTE_READONLY);
    enum Op { Copy, CopyNew, Delete, MakeFolder, SetNormal };
    // wine: how Wine departs in the attributes, or (overwrites) in the whole row.
    struct Row { Op op; const char* target; long long done; const char* content; Windows<long long> attributes; const char* wine; const char* overwrites = nullptr; };
    const Row rows[] = {
        /* 0 */ {Copy, "new.txt", 1, "source", FILE_ATTRIBUTE_READONLY, kWineArchive},  // attributes come along
        /* 1 */ {CopyNew, "existing.txt", 0, "old", FILE_ATTRIBUTE_ARCHIVE, nullptr},
        /* 2 */ {Copy, "existing.txt", 1, "source", FILE_ATTRIBUTE_READONLY, kWineArchive},
        /* 3 */ {Copy, "readonly.txt", 0, "old", FILE_ATTRIBUTE_READONLY, kWineArchive, kWineOverwrites},
        /* 4 */ {Copy, "hidden.txt", 0, "old", FILE_ATTRIBUTE_HIDDEN, kWineArchive, kWineOverwrites},
        /* 5 */ {Copy, "folder", 0, "(none)", FILE_ATTRIBUTE_DIRECTORY, nullptr},
        /* 6 */ {Copy, "..\\Source File.txt", 0, "source", FILE_ATTRIBUTE_READONLY, kWineArchive},  // onto itself
        /* 7 */ {Delete, "hidden.txt", 1, "(none)", -1, nullptr},
        /* 8 */ {Delete, "readonly.txt", 0, "old", FILE_ATTRIBUTE_READONLY, kWineArchive},
        /* 9 */ {Delete, "missing.txt", 0, "(none)", -1, nullptr},
        /* 10 */ {MakeFolder, "new\\", 1, "(none)", FILE_ATTRIBUTE_DIRECTORY, nullptr},
        /* 11 */ {MakeFolder, "FOLDER", 0, "(none)", FILE_ATTRIBUTE_DIRECTORY, nullptr},
        /* 12 */ {MakeFolder, "existing.txt", 0, "old", FILE_ATTRIBUTE_ARCHIVE, nullptr},
        /* 13 */ {MakeFolder, "missing\\new", 0, "(none)", -1, nullptr},
        /* 14 */ {SetNormal, "readonly.txt", 1, "old", FILE_ATTRIBUTE_NORMAL, kWineArchive},
        /* 15 */ {SetNormal, "missing.txt", 0, "(none)", -1, nullptr},
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        const std::string folder = Folder(api, "OPS\\" + std::to_string(i)), target = folder + row.target;
        for (const auto& [name, attributes] : {std::pair{"existing.txt", FILE_ATTRIBUTE_ARCHIVE}, {"readonly.txt", FILE_ATTRIBUTE_READONLY},
                                               {"hidden.txt", FILE_ATTRIBUTE_HIDDEN}}) {
            PutFile(api, folder + name, "old");
            api.SetFileAttributes(folder + name, attributes);
        }
        api.CreateDirectory(folder + "folder");
        const bool done = row.op == Copy || row.op == CopyNew ? api.CopyFile(source, target, row.op == CopyNew)
                          : row.op == Delete                  ? api.DeleteFile(target)
                          : row.op == MakeFolder              ? api.CreateDirectory(target)
                                                              : api.SetFileAttributes(target, FILE_ATTRIBUTE_NORMAL);
        const std::string what = "file operation " + std::to_string(i);
        const std::optional<std::uint32_t> attributes = api.GetFileAttributes(target);
        report.Expect(what, done, Windows<long long>(row.done), row.overwrites);
        report.Expect(what + " content", FileBytes(api, target), std::string(row.content), row.overwrites);
        report.Expect(what + " attributes", attributes ? static_cast<long long>(*attributes) : -1, row.attributes, row.wine);
    }
}

void ShortNames(Host& host, Report& report) {
    Platform& api = host.api;
    const std::string folder = Folder(api, "SHORT");
    api.CreateDirectory(folder + "Program Files");
    PutFile(api, folder + "Program Files\\SETUP.INI", "");
    const std::tuple<const char*, std::string, const char*, const char*> rows[] = {  // current folder, path, short path
        /* 0 */ {"C:\\", folder + "Program Files", "C:\\CONTRACT\\SHORT\\PROGRA~1", kWineAliases},
        /* 1 */ {"C:\\CONTRACT\\SHORT", "Program Files\\SETUP.INI", "PROGRA~1\\SETUP.INI", kWineAliases},  // relative stays relative
        /* 2 */ {"C:\\CONTRACT\\SHORT\\Program Files", "SETUP.INI", "SETUP.INI", nullptr},
        /* 3 */ {"C:\\CONTRACT\\SHORT", "SETUP.INI", "(none)", nullptr},
        /* 4 */ {"C:\\", folder + "missing", "(none)", nullptr},
        /* 5 */ {"C:\\", folder, "C:\\CONTRACT\\SHORT\\", nullptr},  // the separator stays
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const auto& [current, path, shortPath, wine] = rows[i];
        api.SetCurrentDirectory(current);
        report.Expect("short name " + std::to_string(i), api.GetShortPathName(path).value_or("(none)"), std::string(shortPath), wine);
    }
    api.SetCurrentDirectory("C:\\");
}

}  // namespace

void FilesAndSearches(Host& host, Report& report) {
    Searches(host, report);
    Operations(host, report);
    ShortNames(host, report);
}

}  // namespace contract
