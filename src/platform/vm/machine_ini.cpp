// machine.ini: what the virtual machine is and what happens on it.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "platform/vm/ini_text.h"
#include "platform/vm/machine_folder.h"

namespace vm {

MachineFolderError::MachineFolderError(std::string fileName, int lineNumber, const std::string& message)
    : std::runtime_error(fileName + (lineNumber > 0 ? ":" + std::to_string(lineNumber) : std::string()) + ": " +
                         message),
      file(std::move(fileName)),
      line(lineNumber) {}

namespace {

// Splits "a | b | c" at '|' into trimmed parts.
std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        parts.push_back(Trim(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
        if (bar == std::string::npos) return parts;
        start = bar + 1;
    }
}

class IniReader {
public:
    IniReader(const std::string& fileName, VirtualMachine& machine) : file_(fileName), machine_(machine) {}

    void Apply(const IniLine& line) {
        line_ = line.line;
        const std::string section = Lower(line.section);
        if (section == "machine") return Machine(Lower(line.key), line.value);
        if (section == "attributes") return Attributes(line.key, line.value);
        if (section == "windows") return machine_.Windows().push_back({line.key, line.value, true});
        if (section == "devices") return machine_.Devices().push_back({List(line.value), true});
        if (section == "sourcelist") return machine_.SourceList().push_back(line.value);
        if (section == "programs") return Program(line.key, line.value);
        if (section == "answers") return Answer(line.key, line.value);
        if (section == "events") return Event(line.key, line.value);
        if (section == "faults") return Fault(line.key, line.value);
        if (section == "dialogs") return Dialog(line.key, line.value);
        Fail("unknown section [" + line.section +
             "]; known: Machine, Attributes, Windows, Devices, SourceList, Programs, Answers, Dialogs, Events, Faults");
    }

private:
    [[noreturn]] void Fail(const std::string& message) const { throw MachineFolderError(file_, line_, message); }

    std::uint64_t Number(const std::string& text, const std::string& what) const {
        if (text.empty() || text.size() > 15 ||
            !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            Fail(what + " must be a whole number, found \"" + text + "\"");
        }
        return std::stoull(text);
    }

    bool YesNo(const std::string& text) const {
        const std::string value = Lower(text);
        if (value == "yes" || value == "1" || value == "true") return true;
        if (value == "no" || value == "0" || value == "false") return false;
        Fail("expected yes or no, found \"" + text + "\"");
    }

    std::vector<std::string> List(const std::string& text) const {
        std::vector<std::string> items;
        std::stringstream stream(text);
        std::string item;
        while (std::getline(stream, item, ',')) {
            if (!Trim(item).empty()) items.push_back(Trim(item));
        }
        return items;
    }

    // "OK", "Cancel", or either followed by "after MS".
    void Answer(const std::string& text, const std::string& how) {
        std::stringstream words(how);
        std::string button, after, delay;
        words >> button >> after >> delay;
        MessageBoxAnswer answer{text, Button(button), false, 0};
        if (!after.empty()) {
            if (Lower(after) != "after") Fail("a message box answer is OK or Cancel, optionally \"after MS\"");
            answer.after = Number(delay, "the answer's delay");
        }
        machine_.Answers().push_back(answer);
    }

    int Button(const std::string& text) const {
        const std::string value = Lower(text);
        if (value == "ok") return platform::IDOK;
        if (value == "cancel") return platform::IDCANCEL;
        Fail("a message box answer is OK or Cancel, found \"" + text + "\"");
    }

    void Machine(const std::string& key, const std::string& value) {
        MachineSettings& s = machine_.settings;
        if (key == "windows") {
            const std::optional<WindowsVersion> version = ParseWindowsVersion(value);
            if (!version) Fail("unknown Windows version \"" + value + "\"; use 95, 98, 98SE, ME, NT4, 2000 or XP");
            s.version = *version;
        } else if (key == "language") {
            s.language = value;
        } else if (key == "windowsfolder") {
            s.windowsFolder = value;
        } else if (key == "systemfolder") {
            s.systemFolder = value;
        } else if (key == "programpath") {
            s.programPath = value;
        } else if (key == "commandline") {
            s.commandLine = value;
        } else if (key == "currentdirectory") {
            s.currentDirectory = value;
        } else if (key == "readonlydrives") {
            for (const std::string& drive : List(value)) {
                if (drive.size() != 1 || !std::isalpha(static_cast<unsigned char>(drive[0]))) {
                    Fail("ReadOnlyDrives lists drive letters, found \"" + drive + "\"");
                }
                machine_.Files().AddDrive(static_cast<char>(std::toupper(static_cast<unsigned char>(drive[0]))));
                machine_.Files().SetDriveReadOnly(drive[0], true);
            }
        } else if (key == "mixerdevices") {
            s.mixerDevices = static_cast<std::uint32_t>(Number(value, "MixerDevices"));
        } else if (key == "setupapi") {
            s.setupApi = YesNo(value);
        } else if (key == "timelimit") {
            s.timeLimit = Number(value, "TimeLimit");
        } else if (key == "currentuser") {
            machine_.Reg().AdoptUser(value);
        } else if (key == "starttime") {
            platform::LocalTime& t = s.startTime;
            char end = 0;
            if (std::sscanf(value.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second, &end) != 6 ||
                t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 || t.minute > 59 || t.second > 59) {
                Fail("StartTime is \"YYYY-MM-DD HH:MM:SS\", found \"" + value + "\"");
            }
        } else {
            Fail("unknown key \"" + key + "\" in [Machine]");
        }
    }

    void Attributes(const std::string& path, const std::string& letters) {
        std::uint32_t attributes = 0;
        for (const std::string& letter : List(letters.find(',') == std::string::npos ? Spaced(letters) : letters)) {
            const std::string flag = Lower(letter);
            if (flag == "r") attributes |= platform::FILE_ATTRIBUTE_READONLY;
            else if (flag == "h") attributes |= platform::FILE_ATTRIBUTE_HIDDEN;
            else if (flag == "s") attributes |= platform::FILE_ATTRIBUTE_SYSTEM;
            else if (flag == "a") attributes |= platform::FILE_ATTRIBUTE_ARCHIVE;
            else Fail("attributes are R, H, S and A, found \"" + letter + "\"");
        }
        const std::optional<std::string> content = machine_.Files().ReadFile(path);
        if (!content) Fail("no file \"" + path + "\" on the machine's drives");
        // Set-up, not a program's call: read-only drives do not refuse it.
        machine_.Files().PutFile(path, *content, attributes == 0 ? platform::FILE_ATTRIBUTE_NORMAL : attributes);
    }

    static std::string Spaced(const std::string& text) {
        std::string commas = text;
        std::replace(commas.begin(), commas.end(), ' ', ',');
        return commas;
    }

    void Program(const std::string& name, const std::string& value) {
        ProgramBehaviour behaviour{name, 0, 0, 0};
        for (const std::string& part : List(value)) {
            std::stringstream words(part);
            std::string word, number;
            words >> word >> number;
            word = Lower(word);
            if (word == "runs") behaviour.runsFor = Number(number, "runs");
            else if (word == "exit") behaviour.exitCode = static_cast<std::uint32_t>(Number(number, "exit"));
            else if (word == "idle") behaviour.idleAfter = Number(number, "idle");
            else Fail("a program is described by \"runs MS, exit CODE, idle MS\", found \"" + part + "\"");
        }
        machine_.Programs().push_back(behaviour);
    }

    void Event(const std::string& when, const std::string& what) {
        TimedEvent event;
        std::stringstream words(Lower(when));
        std::string first, second;
        words >> first >> second;
        if (first == "at") {
            event.anchor = TimedEvent::Anchor::Start;
        } else if (first == "reenumeration" || first == "re-enumeration") {
            event.anchor = TimedEvent::Anchor::Reenumeration;
        } else {
            Fail("an event starts with \"at MS\" or \"reenumeration MS\", found \"" + when + "\"");
        }
        event.delay = Number(second, "the event's time");
        event.description = what;
        event.action = Action(what);
        machine_.AddEvent(std::move(event));
    }

    std::function<void(VirtualMachine&)> Action(const std::string& what) {
        const std::size_t blank = what.find(' ');
        const std::string verb = Lower(what.substr(0, blank));
        const std::vector<std::string> args = Fields(blank == std::string::npos ? "" : what.substr(blank + 1));
        if (verb == "mixer-devices") {
            const auto count = static_cast<std::uint32_t>(Number(args[0], "mixer-devices"));
            return [count](VirtualMachine& m) { m.SetMixerDevices(count); };
        }
        if (verb == "window-open") {
            const TopLevelWindow window{args[0], args.size() > 1 ? args[1] : "", true};
            return [window](VirtualMachine& m) { m.Windows().push_back(window); };
        }
        if (verb == "window-close") {
            const std::string title = args[0];
            const std::string className = args.size() > 1 ? args[1] : "";
            return [title, className](VirtualMachine& m) {
                for (TopLevelWindow& window : m.Windows()) {
                    if (window.title == title && (className.empty() || window.className == className)) {
                        window.open = false;
                    }
                }
            };
        }
        if (verb == "registry-set") {
            if (args.size() != 3) Fail("registry-set KEY | NAME | VALUE, with VALUE as in a .reg file");
            Registry parsed = ParseValue(args[0], args[1], args[2]);
            const std::string key = args[0];
            const std::string name = args[1] == "@" ? "" : args[1];
            const auto root = *Registry::ParseRootName(key.substr(0, key.find('\\')));
            const std::string path = key.find('\\') == std::string::npos ? "" : key.substr(key.find('\\') + 1);
            const Registry::Value value = *Registry::FindValue(*parsed.Find(root, path), name);
            return [root, path, value](VirtualMachine& m) {
                Registry::SetValue(*m.Reg().Create(root, path), value.name, value.type, value.data);
            };
        }
        if (verb == "registry-delete") {
            const std::string key = args[0];
            const auto root = Registry::ParseRootName(key.substr(0, key.find('\\')));
            if (!root || key.find('\\') == std::string::npos) Fail("registry-delete needs a full key path");
            const std::string path = key.substr(key.find('\\') + 1);
            const std::optional<std::string> name = args.size() > 1 ? std::optional<std::string>(args[1]) : std::nullopt;
            return [root, path, name](VirtualMachine& m) {
                if (!name) {
                    m.Reg().Delete(*root, path);
                } else if (Registry::Key* k = m.Reg().Find(*root, path)) {
                    Registry::DeleteValue(*k, *name);
                }
            };
        }
        if (verb == "file-remove") {
            const std::string path = args[0];
            return [path](VirtualMachine& m) { m.Files().Remove(path); };
        }
        if (verb == "file-put") {
            if (args.size() != 2) Fail("file-put PATH | TEXT");
            const std::string path = args[0];
            const std::string text = args[1];
            return [path, text](VirtualMachine& m) { m.Files().PutFile(path, text); };
        }
        if (verb == "device-add") {
            const Device device{List(args[0]), true};
            return [device](VirtualMachine& m) { m.Devices().push_back(device); };
        }
        Fail("unknown event \"" + verb +
             "\"; known: mixer-devices, window-open, window-close, registry-set, registry-delete, file-remove, "
             "file-put, device-add");
    }

    Registry ParseValue(const std::string& key, const std::string& name, const std::string& value) const {
        const std::string quotedName = name == "@" ? "@" : "\"" + name + "\"";
        try {
            return Registry::ParseRegFile("REGEDIT4\r\n[" + key + "]\r\n" + quotedName + "=" + value + "\r\n");
        } catch (const Registry::ParseError& error) {
            Fail(std::string("registry-set: ") + error.what());
        }
    }

    void Dialog(const std::string& id, const std::string& actions) {
        DialogScript script{static_cast<int>(Number(id, "a dialog id")), {}, false};
        for (const std::string& action : List(actions)) {
            if (!IsKnownDialogAction(Lower(action))) {
                Fail("unknown dialog action \"" + action +
                     "\"; known: click ID, ok, cancel, esc, close, sysmenu COMMAND, minimise, restore, drag");
            }
            script.actions.push_back(Lower(action));
        }
        machine_.DialogScripts().push_back(script);
    }

    void Fault(const std::string& operation, const std::string& how) {
        std::stringstream words(Lower(how));
        std::string kind, number, seedWord, seed;
        words >> kind >> number >> seedWord >> seed;
        if (kind == "always") {
            machine_.Faults().push_back({operation, 0});
        } else if (kind == "call") {
            machine_.Faults().push_back({operation, Number(number, "the failing call")});
        } else if (kind == "random" && operation == "*") {
            double probability = 0;
            try {
                probability = std::stod(number);
            } catch (const std::exception&) {
                Fail("random needs a probability between 0 and 1");
            }
            if (!(probability >= 0 && probability <= 1)) Fail("random needs a probability between 0 and 1");
            machine_.SetRandomFaults(probability,
                                     seedWord == "seed" ? static_cast<std::uint32_t>(Number(seed, "seed")) : 1);
        } else {
            Fail("a fault is \"OPERATION = always\", \"OPERATION = call N\" or \"* = random P seed N\"");
        }
    }

    std::string file_;
    VirtualMachine& machine_;
    int line_ = 0;
};

}  // namespace

void ApplyMachineIni(const std::string& text, const std::string& fileName, VirtualMachine& machine) {
    IniReader reader(fileName, machine);
    bool systemFolderGiven = false;
    for (const IniLine& line : ParseIniText(text, fileName)) {
        reader.Apply(line);
        systemFolderGiven |= Lower(line.section) == "machine" && Lower(line.key) == "systemfolder";
    }
    MachineSettings& s = machine.settings;
    if (!systemFolderGiven) s.systemFolder = s.windowsFolder + (IsNt(s.version) ? "\\SYSTEM32" : "\\SYSTEM");
}

}  // namespace vm
