#include "setupsim/undo.h"

#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>

#include "platform/journal/journal_text.h"
#include "platform/vm/ini_text.h"
#include "platform/vm/profile.h"
#include "platform/vm/registry.h"

namespace setupsim {

namespace {

struct Effect {
    std::string kind;
    std::map<std::string, std::string> fields;
    std::string Get(const std::string& name) const {
        const auto found = fields.find(name);
        return found == fields.end() ? "" : found->second;
    }
};

// A value as the journal quotes it, read back: only \" and \xHH are
// escapes; a backslash before another letter is a folder's.
std::string Unquoted(const std::string& value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') return value;
    std::string text;
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
        if (value[i] == '\\' && value[i + 1] == '"' && i + 2 < value.size()) {  // not the closing quote
            text += '"';
            ++i;
        } else if (value[i] == '\\' && value[i + 1] == 'x' && i + 3 < value.size() - 1 && std::isxdigit(static_cast<unsigned char>(value[i + 2])) &&
                   std::isxdigit(static_cast<unsigned char>(value[i + 3]))) {
            text += static_cast<char>(std::strtoul(value.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            text += value[i];
        }
    }
    return text;
}

// "kind  name=value  name=value": names may hold a blank, never two.
std::optional<Effect> ReadEffect(const std::string& line) {
    const std::optional<platform::JournalLineText> read = platform::ReadJournalLine(line);
    if (!read) return std::nullopt;
    Effect effect{read->kind, {}};
    const std::string& text = read->description;
    std::size_t at = read->kind.size();
    while (at + 2 < text.size()) {
        const std::size_t start = at + 2, equals = text.find('=', start);
        if (equals == std::string::npos) break;
        std::size_t end = equals + 1;
        if (end < text.size() && text[end] == '"') {
            // The journal leaves backslashes as they are: the closing quote
            // is the one the next field or the end follows.
            for (++end; end < text.size() && !(text[end] == '"' && (end + 1 == text.size() || text.compare(end + 1, 2, "  ") == 0));) ++end;
            ++end;
        } else {
            end = std::min(text.find("  ", end), text.size());
        }
        effect.fields[text.substr(start, equals - start)] = Unquoted(text.substr(equals + 1, end - equals - 1));
        at = end;
    }
    return effect;
}

class Undoer {
public:
    explicit Undoer(vm::VirtualMachine& machine) : machine_(machine) {}

    void Undo(const Effect& effect, bool restarted) {
        if (effect.Get("result") == "failed") return;
        const std::string& kind = effect.kind;
        if (kind == "copy file") return UndoCopy(effect);
        if (kind == "create folder") return UndoFolder(Full(effect.Get("path")));
        if (kind == "write profile") return UndoProfile(effect, restarted);
        if (kind == "set registry value" || kind == "delete registry value") return UndoValue(effect);
        if (kind == "delete registry key") return Cannot("the registry key " + effect.Get("key") + " was deleted; its values are not in the log");
        if (kind == "write file" || kind == "open file") return Edited(Full(effect.Get("path")));
        if (kind == "delete file") return StandIn(Full(effect.Get("path")), "was deleted by the run");
        if (kind == "remove device") return machine_.Devices().push_back({{effect.Get("hardware id")}, true});
        if (kind == "install INF") return Cannot("the INF " + effect.Get("inf") + " was installed under a name the log does not give");
        if (kind == "set source list" || kind == "add to source list") return Cannot("the installation source list was changed; the log does not give it before");
    }

    // Files the run made by copying: edits of them go with them.
    void Note(const Effect& effect) {
        if (effect.kind == "copy file" && effect.Get("result") == "ok" && effect.Get("replaced") != "yes") {
            made_.insert(vm::Lower(Full(effect.Get("to"))));
        }
    }

    std::vector<std::string> notes;

private:
    std::string Full(const std::string& path) const { return machine_.FullPath(path).value_or(path); }
    void Cannot(const std::string& what) { notes.push_back(what); }

    void UndoCopy(const Effect& effect) {
        const std::string to = Full(effect.Get("to"));
        if (effect.Get("replaced") == "yes") return Cannot(to + " was copied over another file, whose content is not in the log");
        machine_.Files().Remove(to);
    }

    void UndoFolder(const std::string& path) {
        std::size_t entries = 0;
        for (const platform::FindData& entry : machine_.Files().Find(path + "\\*")) entries += entry.fileName != "." && entry.fileName != "..";
        if (machine_.Files().IsDirectory(path) && entries == 0) machine_.Files().Remove(path);
    }

    void Edited(const std::string& path) {
        if (!made_.count(vm::Lower(path)) && machine_.Files().Exists(path) && edited_.insert(vm::Lower(path)).second) {
            Cannot(path + " was edited in place; its earlier bytes are not in the log");
        }
    }

    void UndoProfile(const Effect& effect, bool restarted) {
        const std::string file = effect.Get("file");
        const std::string path = file.find_first_of("\\/:") == std::string::npos ? machine_.settings.windowsFolder + "\\" + file : Full(file);
        const bool renames = vm::Lower(file).find("wininit.ini") != std::string::npos && vm::Lower(effect.Get("section")) == "rename";
        // The restart carried the renames out: the file went, the moves are taken back.
        if (renames && restarted && !machine_.Files().Exists(path)) return UndoRename(effect.Get("key"), effect.Get("value"));
        const std::optional<std::string> content = machine_.Files().ReadFile(path);
        if (!content) return;
        const vm::profile::System rules = vm::IsNt(machine_.settings.version) ? vm::profile::System::Nt : vm::profile::System::Win9x;
        const std::string was = effect.Get("was");
        std::string undone = was == "(none)" ? vm::profile::RemoveKey(*content, effect.Get("section"), effect.Get("key"))
                                             : vm::profile::WriteString(*content, effect.Get("section"), effect.Get("key"), was, rules);
        // A file left with section headers alone was the run's own.
        if (OnlyHeaders(undone)) {
            machine_.Files().Remove(path);
        } else {
            machine_.Files().PutFile(path, undone, machine_.Files().Attributes(path).value_or(platform::FILE_ATTRIBUTE_ARCHIVE));
        }
    }

    static bool OnlyHeaders(const std::string& content) {
        std::size_t start = 0;
        while (start < content.size()) {
            const std::size_t end = std::min(content.find('\n', start), content.size());
            const std::string line = content.substr(start, end - start);
            if (line.find_first_not_of(" \t\r") != std::string::npos && line.find('[') != line.find_first_not_of(" \t")) return false;
            start = end + 1;
        }
        return true;
    }

    void UndoRename(const std::string& destination, const std::string& source) {
        if (vm::Lower(destination) == "nul") return StandIn(source, "was deleted at the restart");
        const std::optional<std::string> bytes = machine_.Files().ReadFile(destination);
        if (!bytes || machine_.Files().Exists(source)) return;
        machine_.Files().PutFile(source, *bytes, machine_.Files().Attributes(destination).value_or(platform::FILE_ATTRIBUTE_ARCHIVE));
        machine_.Files().Remove(destination);
    }

    // The file was there: its name matters to the run even where its bytes are lost.
    void StandIn(const std::string& path, const std::string& what) {
        if (machine_.Files().Exists(path)) return;
        machine_.Files().PutFile(path, "", platform::FILE_ATTRIBUTE_ARCHIVE);
        Cannot(path + " " + what + "; an empty file stands in for it");
    }

    void UndoValue(const Effect& effect) {
        const std::string key = effect.Get("key");
        const std::size_t slash = key.find('\\');
        const std::optional<platform::HKey> root = vm::Registry::ParseRootName(key.substr(0, slash));
        if (!root) return;
        vm::Registry::Key* found = machine_.Reg().Create(*root, slash == std::string::npos ? "" : key.substr(slash + 1));
        const std::string name = effect.Get("name"), was = effect.Get("was");
        if (was == "(none)") {
            vm::Registry::DeleteValue(*found, name);
        } else if (was.rfind("dword:", 0) == 0) {
            vm::Registry::SetValue(*found, name, platform::REG_DWORD, vm::Registry::DwordData(static_cast<std::uint32_t>(std::strtoul(was.c_str() + 6, nullptr, 10))));
        } else if (was.rfind("hex:", 0) == 0) {
            std::string bytes;
            for (std::size_t i = 4; i + 1 < was.size(); i += 3) bytes += static_cast<char>(std::strtoul(was.substr(i, 2).c_str(), nullptr, 16));
            const std::string type = effect.Get("type");
            vm::Registry::SetValue(*found, name, type.empty() ? platform::REG_BINARY : static_cast<std::uint32_t>(std::strtoul(type.c_str(), nullptr, 10)), bytes);
        } else {
            const std::string type = effect.Get("type");
            vm::Registry::SetValue(*found, name, type == "2" ? platform::REG_EXPAND_SZ : platform::REG_SZ, vm::Registry::SzData(was));
        }
    }

    vm::VirtualMachine& machine_;
    std::set<std::string> made_, edited_;
};

}  // namespace

std::vector<std::string> UndoRun(vm::VirtualMachine& machine, const std::vector<std::string>& logLines) {
    std::vector<Effect> effects;
    bool restarted = false;
    for (const std::string& line : logLines) {
        if (std::optional<Effect> effect = ReadEffect(line)) {
            restarted = restarted || (effect->kind == "restart requested" && effect->Get("result") == "ok");
            effects.push_back(std::move(*effect));
        }
    }
    Undoer undoer(machine);
    for (const Effect& effect : effects) undoer.Note(effect);
    for (auto effect = effects.rbegin(); effect != effects.rend(); ++effect) undoer.Undo(*effect, restarted);
    return undoer.notes;
}

}  // namespace setupsim
