#include "support/machine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/vm/machine_folder.h"
#include "platform/vm/profile.h"

namespace testsupport {

namespace {

std::string Folded(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

std::pair<platform::HKey, std::string> SplitFullName(const std::string& fullName) {
    const std::size_t slash = fullName.find('\\');
    const std::optional<platform::HKey> root = vm::Registry::ParseRootName(fullName.substr(0, slash));
    if (!root) throw std::invalid_argument("no registry root in " + fullName);
    return {*root, slash == std::string::npos ? "" : fullName.substr(slash + 1)};
}

// True when the call on this path is to be refused (and counts it).
bool Refused(std::map<std::string, int>& refusals, const std::string& path) {
    auto found = refusals.find(Folded(path));
    if (found == refusals.end() || found->second == 0) return false;
    if (found->second > 0) --found->second;
    return true;
}

}  // namespace

std::string TestInf(const std::string& relative) {
    const std::string path = std::string(SETUP_SOURCE_DIR) + "/tests/data/inf/" + relative;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "missing test file " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string Replaced(std::string text, const std::vector<std::pair<std::string, std::string>>& changes) {
    for (const auto& [from, to] : changes) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << "the test text holds no \"" << from << "\"";
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
}

TestMachine::TestMachine(vm::WindowsVersion version, const std::string& machineIni) {
    settings.version = version;
    settings.windowsFolder = "C:\\WINDOWS";
    settings.systemFolder = vm::IsNt(version) ? "C:\\WINDOWS\\SYSTEM32" : "C:\\WINDOWS\\SYSTEM";
    settings.programPath = "E:\\setup.exe";
    settings.currentDirectory = "E:\\";
    Files().PutDirectory(settings.systemFolder);
    Files().PutDirectory("C:\\WINDOWS\\INF");
    PutMedium("setup.exe");
    if (!machineIni.empty()) vm::ApplyMachineIni(machineIni, "machine.ini", *this);
}

void TestMachine::PutMedium(const std::string& relative, const std::string& bytes) {
    Files().PutFile("E:\\" + relative, bytes);
}

void TestMachine::PutPackage(Package package) {
    const std::string vxd = TestInf("vxd/OVAUDIO.INF");
    const std::string wdm = TestInf("wdm/OVAUDIO.INF");
    switch (package) {
        case Package::Vxd:
            for (const char* name : {"OVAUDIO.INF", "OEMSETUP.INF"}) PutMedium(name, vxd);
            PutMedium("Driver.Inf", "[Version]\r\n");
            PutMedium("ovaudio.vxd", "VXD");
            PutMedium("026\\wave.026", "026 data");
            break;
        case Package::Wdm:
            PutMedium("OVAUDIO.INF", wdm);
            PutMedium("ovwdm.sys", "WDM");
            PutMedium("ovaudio.cat", "catalog");
            break;
        case Package::Flat:
            PutMedium("OVAUDIO.INF", wdm);
            PutMedium("OVVXD.INF", vxd);
            PutMedium("ovaudio.cat", "catalog");
            PutMedium("Mixer.dat", "new mixer");
            PutMedium("026\\a.026", "026");
            break;
        case Package::Medium:
            PutMedium("W2K-ME\\drv\\OVAUDIO.INF", wdm);
            PutMedium("W2K-ME\\drv\\ovwdm.sys", "wdm");
            PutMedium("W2K-ME\\drv\\ovaudio.cat", "catalog");
            PutMedium("W2K-ME\\drv\\Mixer.dat", "new mixer");
            PutMedium("W95-98\\drv\\95\\OVAUDIO.INF", vxd);
            PutMedium("W95-98\\drv\\98\\OVAUDIO.INF", vxd);
            PutMedium("W95-98\\drv\\98\\ovaudio.vxd", "vxd 98");
            PutMedium("Dosdrv\\OVSB.COM", "dos");
            PutMedium("Dosdrv\\DOSAPP\\OVMIX.EXE", "dos app");
            break;
    }
    Files().PutDirectory("C:\\WINDOWS\\INF\\OTHER");
    for (const char* name : {"ks.inf", "wdmaudio.inf", "ksfilter.inf"}) {
        Files().PutFile(std::string("C:\\WINDOWS\\INF\\") + name, TestInf(std::string("system/") + name));
    }
    Files().PutFile(settings.systemFolder + "\\SYSTRAY.EXE", "MZ");
}

void TestMachine::ImportRegistry(const std::string& blocks) { Reg().ImportRegFile("REGEDIT4\n\n" + blocks); }

std::vector<std::string> TestMachine::Journal(const std::string& kind, const std::string& field) {
    std::vector<std::string> values;
    for (const platform::JournalEntry& entry : GetJournal().OfKind(kind)) values.push_back(entry.Get(field));
    return values;
}

std::vector<std::string> TestMachine::Started() {
    std::vector<std::string> commands;
    for (const vm::StartedProcess& process : Processes()) commands.push_back(process.commandLine);
    return commands;
}

std::size_t TestMachine::Sleeps(std::uint32_t ms) {
    const std::vector<std::string> sleeps = Journal("sleep", "ms");
    return static_cast<std::size_t>(std::count(sleeps.begin(), sleeps.end(), std::to_string(ms)));
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

bool TestMachine::HasKey(const std::string& fullName) {
    const auto [root, path] = SplitFullName(fullName);
    return Reg().Find(root, path) != nullptr;
}

std::vector<std::string> TestMachine::SubKeys(const std::string& fullName) {
    const auto [root, path] = SplitFullName(fullName);
    std::vector<std::string> names;
    if (const vm::Registry::Key* key = Reg().Find(root, path)) {
        for (const auto& child : key->subKeys) names.push_back(child->name);
    }
    return names;
}

void TestMachine::RefuseOpen(const std::string& path, int times) { refusedOpens_[Folded(path)] = times; }

void TestMachine::RefuseDelete(const std::string& path, int times) { refusedDeletes_[Folded(path)] = times; }

long TestMachine::RegOpenKeyEx(platform::HKey root, const std::string& subKey, std::uint32_t access,
                               platform::HKey& result) {
    if (Refused(refusedOpens_, subKey)) return platform::ERROR_ACCESS_DENIED;
    return VirtualMachine::RegOpenKeyEx(root, subKey, access, result);
}

long TestMachine::RegDeleteKey(platform::HKey root, const std::string& subKey) {
    if (Refused(refusedDeletes_, subKey)) return platform::ERROR_ACCESS_DENIED;
    return VirtualMachine::RegDeleteKey(root, subKey);
}

}  // namespace testsupport
