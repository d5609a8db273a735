#include "platform/journal/journaling_platform.h"

#include <cstdlib>

#include "platform/journal/journal_text.h"

namespace platform {

namespace {

const char* Result(bool ok) { return ok ? "ok" : "failed"; }

std::string Number(std::uint64_t value) { return Decimal(value); }

std::string RootName(HKey root) {
    switch (root) {
        case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT";
        case HKEY_CURRENT_USER: return "HKEY_CURRENT_USER";
        case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE";
        case HKEY_USERS: return "HKEY_USERS";
        default: return {};
    }
}

// "a\\b\\" and "\\a" name the same key as "a\\b" and "a".
std::string TrimSeparators(std::string path) {
    while (!path.empty() && path.back() == '\\') path.pop_back();
    while (!path.empty() && path.front() == '\\') path.erase(0, 1);
    return path;
}

std::string Joined(const std::string& parent, const std::string& child) {
    if (child.empty()) return parent;
    return parent + "\\" + child;
}

// A failed effect names its error: the registry call's result, or the
// last error the call left.
void AddResult(JournalFields& fields, bool ok, std::uint64_t error) {
    fields.push_back({"result", Result(ok)});
    if (!ok) fields.push_back({"error", Number(error)});
}

// Room enough for any value a reader of the log needs to see again.
constexpr std::size_t kWholeValue = 1 << 20;

// What a value held, as support would type it back: the text of a string,
// "dword:" and the number, else "hex:" and the bytes.
std::string Shown(const RegValue& value) {
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) return value.data.substr(0, value.data.find('\0'));
    if (value.type == REG_DWORD && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = number << 8 | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
        return "dword:" + Number(number);
    }
    static const char kDigits[] = "0123456789abcdef";
    std::string hex = "hex:";
    for (std::size_t i = 0; i < value.data.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value.data[i]);
        hex += std::string(i ? "," : "") + kDigits[byte >> 4] + kDigits[byte & 15];
    }
    return hex;
}

std::string WaitResult(std::uint32_t result) {
    switch (result) {
        case WAIT_OBJECT_0: return "done";
        case WAIT_TIMEOUT: return "timeout";
        case WAIT_FAILED: return "failed";
        default: return std::to_string(result);
    }
}

// Whatever the program writes through it is one "write file" entry per
// store, as the stream stores bytes: at the flush or the close.
class JournalingStream final : public FileStream {
public:
    JournalingStream(JournalingPlatform& platform, std::unique_ptr<FileStream> inner, std::string path)
        : platform_(platform), inner_(std::move(inner)), path_(std::move(path)) {}
    ~JournalingStream() override {
        const bool pending = pending_;
        inner_.reset();
        if (pending) platform_.Record("write file", {{"path", path_}});
    }

    std::optional<std::string> Gets(std::size_t maxChars) override { return inner_->Gets(maxChars); }
    std::string Read(std::size_t count) override { return inner_->Read(count); }
    bool Write(const std::string& bytes) override {
        const bool ok = inner_->Write(bytes);
        pending_ = pending_ || (ok && !bytes.empty());
        return ok;
    }
    bool Seek(std::int64_t offset, int origin) override { return Stored(inner_->Seek(offset, origin)); }
    std::int64_t Tell() override { return inner_->Tell(); }
    bool Flush() override { return Stored(inner_->Flush()); }
    bool Eof() const override { return inner_->Eof(); }

private:
    // A seek or a flush stores what was written before it.
    bool Stored(bool ok) {
        if (ok && pending_) {
            pending_ = false;
            platform_.Record("write file", {{"path", path_}});
        }
        return ok;
    }

    JournalingPlatform& platform_;
    std::unique_ptr<FileStream> inner_;
    std::string path_;
    bool pending_ = false;
};

}  // namespace

std::string ButtonName(int button) {
    switch (button) {
        case IDOK: return "OK";
        case IDCANCEL: return "Cancel";
        default: return std::to_string(button);
    }
}

JournalingPlatform::JournalingPlatform(Platform& inner, Journal& journal)
    : ProxyPlatform(inner), journal_(journal), start_(inner.GetTickCount()) {}

void JournalingPlatform::Record(std::string kind, JournalFields fields) {
    RecordAt(inner_.GetTickCount(), std::move(kind), std::move(fields));
}

void JournalingPlatform::Record(const char* kind, std::initializer_list<Field> fields) {
    JournalFields named;
    named.reserve(fields.size());
    for (const Field& field : fields) named.emplace_back(field.name, field.value);
    Record(std::string(kind), std::move(named));
}

void JournalingPlatform::RecordAt(std::uint32_t tick, std::string kind, JournalFields fields) {
    // The tick count wraps after 49.7 days; the difference does not.
    journal_.Add(static_cast<std::uint32_t>(tick - start_), std::move(kind), std::move(fields));
}

bool JournalingPlatform::CreateDirectory(const std::string& path) {
    const bool ok = inner_.CreateDirectory(path);
    Record("create folder", {{"path", path}, {"result", Result(ok)}});
    return ok;
}

std::unique_ptr<FileStream> JournalingPlatform::fopen(const std::string& path, const std::string& mode) {
    std::unique_ptr<FileStream> stream = inner_.fopen(path, mode);
    if (!stream || mode.find_first_of("wa+") == std::string::npos) return stream;
    Record("open file", {{"path", path}, {"mode", mode}});
    // "w" stores an empty file at once.
    if (mode.find('w') != std::string::npos) Record("write file", {{"path", path}});
    return std::make_unique<JournalingStream>(*this, std::move(stream), path);
}

bool JournalingPlatform::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    const bool existed = inner_.GetFileAttributes(to).has_value();
    const bool ok = inner_.CopyFile(from, to, failIfExists);
    JournalFields fields{{"from", from}, {"to", to}, {"result", Result(ok)}};
    if (ok && existed) fields.push_back({"replaced", "yes"});
    Record("copy file", std::move(fields));
    return ok;
}

bool JournalingPlatform::SetFileAttributes(const std::string& path, std::uint32_t attributes) {
    const std::optional<std::uint32_t> before = inner_.GetFileAttributes(path);
    const bool ok = inner_.SetFileAttributes(path, attributes);
    // Only a change is an effect worth reading about.
    if (ok && inner_.GetFileAttributes(path) != before) {
        Record("set attributes", {{"path", path}, {"attributes", Number(attributes)}});
    }
    return ok;
}

bool JournalingPlatform::DeleteFile(const std::string& path) {
    // The cleanup tries many names that are not there: only a file that was
    // there is worth an entry.
    const bool existed = inner_.GetFileAttributes(path).has_value();
    const bool ok = inner_.DeleteFile(path);
    if (existed) Record("delete file", {{"path", path}, {"result", Result(ok)}});
    return ok;
}

bool JournalingPlatform::WritePrivateProfileString(const std::string& section, const std::string& key,
                                                   const std::string& value, const std::string& file) {
    // No value holds a lone \x01: it stands for none.
    const std::string before = inner_.GetPrivateProfileString(section, key, "\x01", file);
    const bool ok = inner_.WritePrivateProfileString(section, key, value, file);
    Record("write profile", {{"file", file}, {"section", section}, {"key", key}, {"value", value}, {"result", Result(ok)},
                             {"was", before == "\x01" ? "(none)" : before}});
    return ok;
}

long JournalingPlatform::RegOpenKeyEx(HKey root, const std::string& subKey, std::uint32_t access, HKey& result) {
    const long error = inner_.RegOpenKeyEx(root, subKey, access, result);
    if (error == ERROR_SUCCESS) {
        keys_[result] = Joined(KeyName(root), TrimSeparators(subKey));
    }
    return error;
}

std::string JournalingPlatform::KeyName(HKey key) const {
    const auto found = keys_.find(key);
    return found != keys_.end() ? found->second : RootName(key);
}

long JournalingPlatform::RegSetValueEx(HKey key, const std::string& name, std::uint32_t type,
                                       const std::string& data) {
    RegValue before;
    const bool had = inner_.RegQueryValueEx(key, name, kWholeValue, before) == ERROR_SUCCESS;
    const long error = inner_.RegSetValueEx(key, name, type, data);
    JournalFields fields{{"key", KeyName(key)}, {"name", name}, {"type", Number(type)}, {"bytes", Number(data.size())}};
    AddResult(fields, error == ERROR_SUCCESS, static_cast<std::uint64_t>(error));
    fields.push_back({"was", had ? Shown(before) : "(none)"});
    Record("set registry value", std::move(fields));
    return error;
}

long JournalingPlatform::RegDeleteValue(HKey key, const std::string& name) {
    // A value that was not there is no effect, as a missing file is not.
    RegValue before;
    const bool had = inner_.RegQueryValueEx(key, name, kWholeValue, before) == ERROR_SUCCESS;
    const long error = inner_.RegDeleteValue(key, name);
    if (had || error == ERROR_SUCCESS) {
        JournalFields fields{{"key", KeyName(key)}, {"name", name}};
        AddResult(fields, error == ERROR_SUCCESS, static_cast<std::uint64_t>(error));
        fields.push_back({"was", had ? Shown(before) : "(none)"});
        Record("delete registry value", std::move(fields));
    }
    return error;
}

long JournalingPlatform::RegDeleteKey(HKey root, const std::string& subKey) {
    HKey probe = 0;
    const bool existed = !TrimSeparators(subKey).empty() && inner_.RegOpenKeyEx(root, subKey, KEY_READ, probe) == ERROR_SUCCESS;
    if (existed) inner_.RegCloseKey(probe);
    const long error = inner_.RegDeleteKey(root, subKey);
    if (existed || error == ERROR_SUCCESS) {
        JournalFields fields{{"key", Joined(KeyName(root), TrimSeparators(subKey))}};
        AddResult(fields, error == ERROR_SUCCESS, static_cast<std::uint64_t>(error));
        Record("delete registry key", std::move(fields));
    }
    return error;
}

long JournalingPlatform::RegCloseKey(HKey key) {
    keys_.erase(key);
    return inner_.RegCloseKey(key);
}

void JournalingPlatform::StartProcess(const std::string& commandLine, bool created, Handle process) {
    const std::optional<std::string> folder = inner_.GetCurrentDirectory();
    Record(created ? "start process" : "run program",
           {{"command", commandLine}, {"folder", folder.value_or("")}, {"result", process ? "started" : "not found"}});
    if (created && process) processes_[process] = commandLine;
}

std::uint32_t JournalingPlatform::WinExec(const std::string& commandLine, int showWindow) {
    const std::uint32_t result = inner_.WinExec(commandLine, showWindow);
    StartProcess(commandLine, false, result > 31);
    return result;
}

Handle JournalingPlatform::CreateProcess(const std::string& commandLine, int showWindow) {
    const Handle process = inner_.CreateProcess(commandLine, showWindow);
    StartProcess(commandLine, true, process);
    return process;
}

void JournalingPlatform::RecordWait(const char* kind, Handle process, std::uint32_t milliseconds,
                                    std::uint32_t result) {
    const auto command = processes_.find(process);
    Record(kind, {{"command", command != processes_.end() ? command->second : ""},
                  {"ms", milliseconds == INFINITE ? "INFINITE" : Number(milliseconds)},
                  {"result", WaitResult(result)}});
}

std::uint32_t JournalingPlatform::WaitForInputIdle(Handle process, std::uint32_t milliseconds) {
    const std::uint32_t result = inner_.WaitForInputIdle(process, milliseconds);
    RecordWait("wait for input idle", process, milliseconds, result);
    return result;
}

std::uint32_t JournalingPlatform::WaitForSingleObject(Handle process, std::uint32_t milliseconds) {
    const std::uint32_t result = inner_.WaitForSingleObject(process, milliseconds);
    RecordWait("wait for process", process, milliseconds, result);
    return result;
}

void JournalingPlatform::Sleep(std::uint32_t milliseconds) {
    Record("sleep", {{"ms", Number(milliseconds)}});
    inner_.Sleep(milliseconds);
}

void JournalingPlatform::ExitProcess(std::uint32_t exitCode) {
    Record("exit process", {{"code", Number(exitCode)}});
    inner_.ExitProcess(exitCode);
    std::abort();  // the machine's ExitProcess never returns
}

Hwnd JournalingPlatform::FindWindowEx(const std::optional<std::string>& className,
                                      const std::optional<std::string>& title) {
    const Hwnd window = inner_.FindWindowEx(className, title);
    if (window != 0 && !windows_.count(window)) {
        std::string name = title ? "\"" + *title + "\"" : "";
        if (className) name += (name.empty() ? "(" : " (") + *className + ")";
        windows_[window] = name;
    }
    return window;
}

std::string JournalingPlatform::WindowName(Hwnd window) const {
    if (window == 0) return "(none)";
    const auto found = windows_.find(window);
    return found != windows_.end() ? found->second : "window " + Number(window);
}

std::intptr_t JournalingPlatform::SendMessage(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                              std::intptr_t lParam) {
    Record("send message", {{"window", WindowName(window)}, {"message", message == WM_CLOSE ? "WM_CLOSE" : Number(message)}});
    return inner_.SendMessage(window, message, wParam, lParam);
}

int JournalingPlatform::MessageBox(Hwnd owner, const std::string& text, const std::string& caption,
                                   std::uint32_t type) {
    // Stamped when it appears; written when it is answered.
    const std::uint32_t shown = inner_.GetTickCount();
    const int answer = inner_.MessageBox(owner, text, caption, type);
    RecordAt(shown, "message box",
             {{"owner", WindowName(owner)},
              {"caption", caption},
              {"text", text},
              {"buttons", (type & 0xF) == MB_OKCANCEL ? "OK Cancel" : "OK"},
              {"answer", ButtonName(answer)}});
    return answer;
}

void JournalingPlatform::BeginWaitCursor() {
    if (waitCursor_++ == 0) Record("wait cursor", {{"shown", "yes"}});
    inner_.BeginWaitCursor();
}

void JournalingPlatform::EndWaitCursor() {
    if (waitCursor_ > 0 && --waitCursor_ == 0) Record("wait cursor", {{"shown", "no"}});
    inner_.EndWaitCursor();
}

void JournalingPlatform::Enable3dControls() {
    Record("3d controls");
    inner_.Enable3dControls();
}

void JournalingPlatform::OutputDebugString(const std::string& text) {
    Record("trace", {{"text", text}});
    inner_.OutputDebugString(text);
}

bool JournalingPlatform::SetupCopyOEMInf(const std::string& infPath, const std::string& mediaLocation,
                                         std::uint32_t mediaType, std::uint32_t copyStyle) {
    const bool ok = inner_.SetupCopyOEMInf(infPath, mediaLocation, mediaType, copyStyle);
    Record("install INF", {{"inf", infPath},
                           {"media", mediaLocation},
                           {"media type", Number(mediaType)},
                           {"copy style", Number(copyStyle)},
                           {"result", Result(ok)}});
    return ok;
}

bool JournalingPlatform::SetupSetSourceList(std::uint32_t flags, const std::vector<std::string>& list) {
    const bool ok = inner_.SetupSetSourceList(flags, list);
    std::string joined;
    for (const std::string& entry : list) joined += (joined.empty() ? "" : ";") + entry;
    JournalFields fields{{"entries", Number(list.size())}, {"list", joined}};
    AddResult(fields, ok, ok ? 0 : inner_.GetLastError());
    Record("set source list", std::move(fields));
    return ok;
}

bool JournalingPlatform::SetupAddToSourceList(std::uint32_t flags, const std::string& source) {
    const bool ok = inner_.SetupAddToSourceList(flags, source);
    JournalFields fields{{"source", source}};
    AddResult(fields, ok, ok ? 0 : inner_.GetLastError());
    Record("add to source list", std::move(fields));
    return ok;
}

bool JournalingPlatform::SetupDiGetDeviceRegistryProperty(Handle set, std::uint32_t devInst,
                                                          std::uint32_t property, std::size_t bufferBytes,
                                                          std::string& data) {
    const bool ok = inner_.SetupDiGetDeviceRegistryProperty(set, devInst, property, bufferBytes, data);
    // The hardware ids are a list of strings: the first names the device.
    if (ok && property == SPDRP_HARDWAREID) hardwareIds_[{set, devInst}] = data.substr(0, data.find('\0'));
    return ok;
}

bool JournalingPlatform::SetupDiRemoveDevice(Handle set, std::uint32_t devInst) {
    const bool ok = inner_.SetupDiRemoveDevice(set, devInst);
    const auto id = hardwareIds_.find({set, devInst});
    JournalFields fields{{"hardware id", id != hardwareIds_.end() ? id->second : ""}};
    AddResult(fields, ok, ok ? 0 : inner_.GetLastError());
    Record("remove device", std::move(fields));
    return ok;
}

std::uint32_t JournalingPlatform::CM_Reenumerate_DevNode(std::uint32_t devNode, std::uint32_t flags) {
    const std::uint32_t result = inner_.CM_Reenumerate_DevNode(devNode, flags);
    JournalFields fields;
    AddResult(fields, result == CR_SUCCESS, result);  // the Configuration Manager's own code
    Record("re-enumerate devices", std::move(fields));
    return result;
}

bool JournalingPlatform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved) {
    const bool ok = inner_.ExitWindowsEx(flags, reserved);
    JournalFields fields{{"flags", Number(flags)}, {"reserved", Number(reserved)}};
    AddResult(fields, ok, ok ? 0 : inner_.GetLastError());
    Record("restart requested", std::move(fields));
    return ok;
}

}  // namespace platform
