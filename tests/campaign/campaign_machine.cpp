#include "campaign/campaign_machine.h"

#include <cctype>

#include "platform/vm/machine_folder.h"
#include "platform/vm/profile.h"

namespace campaign {

namespace {

// A stream whose writes draw on the disk's free space.
class MeteredStream final : public platform::FileStream {
public:
    MeteredStream(std::unique_ptr<platform::FileStream> inner, CampaignMachine& machine)
        : inner_(std::move(inner)), machine_(machine) {}

    std::optional<std::string> Gets(std::size_t maxChars) override { return inner_->Gets(maxChars); }
    std::string Read(std::size_t count) override { return inner_->Read(count); }
    bool Write(const std::string& bytes) override { return machine_.TakeSpace(bytes.size()) && inner_->Write(bytes); }
    bool Seek(std::int64_t offset, int origin) override { return inner_->Seek(offset, origin); }
    std::int64_t Tell() override { return inner_->Tell(); }
    bool Flush() override { return inner_->Flush(); }
    bool Eof() const override { return inner_->Eof(); }

private:
    std::unique_ptr<platform::FileStream> inner_;
    CampaignMachine& machine_;
};

bool OnDrive(const std::optional<std::string>& path, char drive) {
    return path && !path->empty() && std::toupper(static_cast<unsigned char>((*path)[0])) == drive;
}

}  // namespace

CampaignMachine::CampaignMachine(const Scenario& scenario)
    : freeBytes(scenario.diskFreeBytes),
      mediumTakenOutAtCopy(scenario.mediumTakenOutAtCopy),
      mediumDrive(scenario.mediumDrive) {
    Load(scenario, *this);
}

bool CampaignMachine::TakeSpace(std::uint64_t bytes) {
    if (!HasSpace(bytes)) return false;
    if (freeBytes) *freeBytes -= bytes;
    return true;
}

bool CampaignMachine::HasSpace(std::uint64_t bytes) const { return !freeBytes || bytes <= *freeBytes; }

std::uint64_t CampaignMachine::SizeOf(const std::string& path) {
    const std::optional<std::string> full = FullPath(path);
    const std::optional<std::string> content = full ? Files().ReadFile(*full) : std::nullopt;
    return content ? content->size() : 0;
}

bool CampaignMachine::CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    if (OnDrive(FullPath(from), mediumDrive) && mediumTakenOutAtCopy && ++mediumCopies_ == *mediumTakenOutAtCopy) {
        Files().Remove(std::string(1, mediumDrive) + ":\\");
    }
    const std::uint64_t source = SizeOf(from);
    const std::uint64_t target = SizeOf(to);
    const std::uint64_t growth = source > target ? source - target : 0;
    if (!HasSpace(growth)) return false;
    const bool copied = VirtualMachine::CopyFile(from, to, failIfExists);
    if (copied) TakeSpace(growth);
    return copied;
}

std::unique_ptr<platform::FileStream> CampaignMachine::fopen(const std::string& path, const std::string& mode) {
    std::unique_ptr<platform::FileStream> stream = VirtualMachine::fopen(path, mode);
    if (!stream || !freeBytes || mode.find_first_of("wa+") == std::string::npos) return stream;
    return std::make_unique<MeteredStream>(std::move(stream), *this);
}

bool CampaignMachine::WritePrivateProfileString(const std::string& section, const std::string& key,
                                                const std::string& value, const std::string& file) {
    if (freeBytes) {
        // A profile file named without a folder lives in the Windows folder.
        const std::string path = file.find_first_of("\\/:") == std::string::npos
                                     ? settings.windowsFolder + "\\" + file
                                     : FullPath(file).value_or(file);
        const std::string content = Files().ReadFile(path).value_or("");
        const std::size_t after = vm::profile::WriteString(content, section, key, value).size();
        const std::uint64_t growth = after > content.size() ? after - content.size() : 0;
        if (!HasSpace(growth)) return false;
        const bool written = VirtualMachine::WritePrivateProfileString(section, key, value, file);
        if (written) TakeSpace(growth);
        return written;
    }
    return VirtualMachine::WritePrivateProfileString(section, key, value, file);
}

void Load(const Scenario& scenario, vm::VirtualMachine& machine) {
    vm::FileSystem& files = machine.Files();
    files.AddDrive(scenario.mediumDrive);
    for (const std::string& folder : scenario.folders) files.PutDirectory(folder);
    for (const auto& [path, bytes] : scenario.files) {
        const bool onMedium = std::toupper(static_cast<unsigned char>(path[0])) == scenario.mediumDrive;
        // A CD's files come read-only, as Windows reports them.
        files.PutFile(path, bytes,
                      onMedium && scenario.readOnlyMedium ? platform::FILE_ATTRIBUTE_READONLY
                                                          : platform::FILE_ATTRIBUTE_ARCHIVE);
    }
    machine.Reg() = scenario.registry;
    vm::ApplyMachineIni(scenario.machineIni, "machine.ini", machine);
}

}  // namespace campaign
