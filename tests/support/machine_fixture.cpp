#include "support/machine_fixture.h"

#include "platform/vm/profile.h"

namespace testsupport {

TestMachine::TestMachine(vm::WindowsVersion version) {
    settings.version = version;
    settings.windowsFolder = "C:\\WINDOWS";
    settings.systemFolder = vm::IsNt(version) ? "C:\\WINDOWS\\SYSTEM32" : "C:\\WINDOWS\\SYSTEM";
    settings.programPath = "E:\\setup.exe";
    settings.currentDirectory = "E:\\";
    Files().PutDirectory(settings.systemFolder);
    Files().PutDirectory("C:\\WINDOWS\\INF");
    PutMedium("setup.exe");
}

void TestMachine::PutMedium(const std::string& relative, const std::string& bytes) {
    Files().PutFile("E:\\" + relative, bytes);
}

std::vector<std::string> TestMachine::Messages() {
    std::vector<std::string> texts;
    for (const vm::JournalEntry& entry : GetJournal().OfKind("message box")) texts.push_back(entry.Get("text"));
    return texts;
}

std::vector<std::string> TestMachine::Traces() {
    std::vector<std::string> texts;
    for (const vm::JournalEntry& entry : GetJournal().OfKind("trace")) texts.push_back(entry.Get("text"));
    return texts;
}

std::vector<std::string> TestMachine::Started() {
    std::vector<std::string> commands;
    for (const vm::StartedProcess& process : Processes()) commands.push_back(process.commandLine);
    return commands;
}

std::string TestMachine::ProfileValue(const std::string& path, const std::string& section, const std::string& key) {
    const std::optional<std::string> content = Files().ReadFile(path);
    if (!content) return "(no file)";
    return vm::profile::ReadString(*content, section, key).value_or("(no key)");
}

std::string TestMachine::RegistryText(platform::HKey root, const std::string& path, const std::string& name) {
    const vm::Registry::Key* key = Reg().Find(root, path);
    if (!key) return "(no key)";
    const vm::Registry::Value* value = vm::Registry::FindValue(*key, name);
    if (!value) return "(no value)";
    return value->data.substr(0, value->data.find('\0'));
}

}  // namespace testsupport
