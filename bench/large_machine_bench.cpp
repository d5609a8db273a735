// The driver installation's heavy steps on a large virtual machine, and how
// each grows: the INF passes of the file cleanup over up to 2,000 INF files,
// the staging of a medium of up to 500 files and 200 MB, and the whole
// /DRIVER run on a machine with 100,000 registry keys, 2,000 INF files and
// that medium. (The registry purge's growth is BM_PurgeEarlierDriverRegistry.)
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

#include "cleanup/driver_file_retirement.h"
#include "driver/driver_installation.h"
#include "environment/install_options.h"
#include "environment/os_kind.h"
#include "platform/vm/machine.h"
#include "startup/setup_app.h"

namespace {

using vm::Registry;

constexpr std::size_t kKeys = 100000;
constexpr std::size_t kInfFiles = 2000;
constexpr std::size_t kMediumFiles = 500;
constexpr std::size_t kMediumBytes = 200u << 20;
constexpr platform::HKey kHklm = platform::HKEY_LOCAL_MACHINE;
const std::string kDriverFolder = "E:\\W2K-ME\\drv\\";

std::string Numbered(const char* format, std::size_t number) {
    char text[96];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

std::string TestInf(const std::string& relative) {
    std::ifstream in(std::string(SETUP_SOURCE_DIR) + "/tests/data/inf/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An earlier driver's entries among `keys` keys, most of them where the
// purge and the WDM waits enumerate.
Registry MakeRegistry(std::size_t keys) {
    Registry registry;
    std::size_t made = 0;
    const auto create = [&](platform::HKey root, const std::string& path) {
        ++made;
        return registry.Create(root, path);
    };
    const std::string media = "System\\CurrentControlSet\\Services\\Class\\MEDIA\\";
    for (std::size_t i = 0; i < keys / 100; ++i) {
        Registry::Key* key = create(kHklm, media + Numbered("%04zu", i));
        Registry::SetValue(*key, "DriverDesc", platform::REG_SZ, Registry::SzData("Audio device"));
        Registry::SetValue(*key, "ProviderName", platform::REG_SZ, Registry::SzData(i == 0 ? "Orvanta" : "Other"));
        create(kHklm, media + Numbered("%04zu\\Drivers", i));
    }
    for (const char* type : {"aux", "joystick", "midi", "mixer", "wave"}) {
        for (std::size_t i = 0; i < keys / 50; ++i) {
            create(kHklm, std::string("System\\CurrentControlSet\\control\\MediaResources\\") + type +
                              Numbered("\\drv%zu.drv<", i) + Numbered("%04zu>", i % 97));
        }
    }
    for (std::size_t i = 0; i < keys / 8; ++i) {
        const std::string device = Numbered(i == keys / 16 ? "VEN_1D9C&DEV_0111&SUBSYS_%08zu" : "VEN_8086&DEV_%08zu", i);
        create(kHklm, "Enum\\PCI\\" + device);
        create(kHklm, "Enum\\PCI\\" + device + "\\BUS_00&DEV_0A&FUNC_00");
    }
    create(kHklm, "Enum\\OVX\\CHILD0000");
    create(kHklm, "Enum\\VIRTUAL\\SSC-SWMIDI");
    Registry::SetValue(*create(platform::HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Systray"),
                       "Services", platform::REG_DWORD, Registry::DwordData(5));
    for (std::size_t i = 0; made < keys; ++i) create(kHklm, Numbered("SOFTWARE\\Vendor%03zu", i % 500) + Numbered("\\Key%zu", i));
    return registry;
}

// INF files of other devices in the INF folders, one in twenty an earlier
// driver's; a quarter of them in INF\OTHER.
void AddInfFiles(vm::FileSystem& files, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const bool earlier = i % 20 == 0;
        const std::string text = "[Version]\r\nSignature=\"$CHICAGO$\"\r\nClass=MEDIA\r\n\r\n[Strings]\r\n"
                                 "SSC-Legacy.DeviceDesc=\"" + std::string(earlier ? "OVX4720" : "Other") + " device\"\r\n" +
                                 std::string(1500, ';') + "\r\n";
        files.PutFile(Numbered(i % 4 == 0 ? "C:\\WINDOWS\\INF\\OTHER\\OEM%zu.INF" : "C:\\WINDOWS\\INF\\OEM%zu.INF", i), text);
    }
}

// The medium: a WDM driver folder of `count` files holding `bytes` in all.
void AddMedium(vm::FileSystem& files, std::size_t count, std::size_t bytes) {
    files.PutFile("E:\\setup.exe", "MZ");
    files.PutFile("E:\\setup.ini", "[InstallOption]\r\nWindows98SEDriver=1\r\n");
    files.PutFile(kDriverFolder + "OVAUDIO.INF", TestInf("wdm/OVAUDIO.INF"));
    files.PutFile(kDriverFolder + "ovaudio.cat", "catalog");
    for (std::size_t i = 2; i < count; ++i) {
        files.PutFile(kDriverFolder + Numbered("OV%05zu.BIN", i), std::string(bytes / count, static_cast<char>(i)));
    }
}

// Every benchmark keeps file-sized blocks on the heap, so that copies are
// timed and not the kernel handing out fresh pages for each one.
[[maybe_unused]] const bool kHeapForFiles = mallopt(M_MMAP_THRESHOLD, 64 << 20) && mallopt(M_TRIM_THRESHOLD, 1 << 30);

struct Machine {
    vm::FileSystem files;
    Registry registry;
};

Machine MakeMachine(std::size_t keys, std::size_t infFiles, std::size_t mediumFiles, std::size_t mediumBytes) {
    vm::VirtualMachine machine;
    vm::FileSystem& files = machine.Files();
    for (const char* folder : {"C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS\\INF\\OTHER", "C:\\WINDOWS\\INF\\CATALOG"}) {
        files.PutDirectory(folder);
    }
    for (const char* name : {"ks.inf", "wdmaudio.inf", "ksfilter.inf"}) {
        files.PutFile(std::string("C:\\WINDOWS\\INF\\") + name, TestInf(std::string("system/") + name));
    }
    files.PutFile("C:\\WINDOWS\\SYSTEM\\OVAUDIO.VXD", "earlier driver");
    AddInfFiles(files, infFiles);
    AddMedium(files, mediumFiles, mediumBytes);
    return {files, MakeRegistry(keys)};
}

// Made once per size: the benchmark functions run several times.
const Machine& MachineOf(std::size_t keys, std::size_t infFiles, std::size_t mediumFiles, std::size_t mediumBytes) {
    static std::map<std::vector<std::size_t>, Machine> made;
    const std::vector<std::size_t> size = {keys, infFiles, mediumFiles, mediumBytes};
    auto found = made.find(size);
    if (found == made.end()) found = made.emplace(size, MakeMachine(keys, infFiles, mediumFiles, mediumBytes)).first;
    return found->second;
}

// A Windows 98 SE machine with the given contents; the WDM driver applies.
class LargeMachine : public vm::VirtualMachine {
public:
    explicit LargeMachine(const Machine& contents) {
        settings.version = vm::WindowsVersion::Win98SE;
        settings.commandLine = "/DRIVER";
        Files() = contents.files;
        Reg() = contents.registry;
        // Plug and Play installs the driver at once.
        AddEvent({vm::TimedEvent::Anchor::Reenumeration, 1, "mixer arrives",
                  [](vm::VirtualMachine& machine) { machine.SetMixerDevices(1); }});
    }
};

void BM_InfPasses(benchmark::State& state) {
    const std::size_t infFiles = static_cast<std::size_t>(state.range(0));
    const Machine& contents = MachineOf(1000, infFiles, 4, 4096);
    for (auto _ : state) {
        state.PauseTiming();
        auto machine = std::make_unique<LargeMachine>(contents);
        state.ResumeTiming();
        setup::CleanEarlierDriverFiles(*machine, 1);
        state.PauseTiming();
        machine.reset();  // freeing the machine is no part of the step
        state.ResumeTiming();
    }
    state.counters["inf_files"] = static_cast<double>(infFiles);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_InfPasses)
    ->Arg(kInfFiles / 8)
    ->Arg(kInfFiles / 4)
    ->Arg(kInfFiles / 2)
    ->Arg(kInfFiles)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

// The staging of a driver on a copy of the machine, ready to run.
struct Staging {
    explicit Staging(const Machine& contents)
        : machine(std::make_unique<LargeMachine>(contents)),
          run{*machine,
              setup::DetermineOsKind(*machine),
              "E:\\",
              setup::ReadInstallOptions(*machine, "E:\\"),
              setup::PackageKind::Medium,
              vxdChosen,
              0,
              setup::SourceDiskForm::WdmAppendedShortPath,
              {}} {}

    std::unique_ptr<LargeMachine> machine;
    int vxdChosen = 0;
    setup::DriverInstallation run;
};

void BM_StageDriver(benchmark::State& state) {
    const std::size_t mediumFiles = static_cast<std::size_t>(state.range(0));
    const std::size_t mediumBytes = kMediumBytes / kMediumFiles * mediumFiles;
    const Machine& contents = MachineOf(1000, 100, mediumFiles, mediumBytes);
    {
        // The first staging of a size takes the heap it needs from the system.
        Staging warmUp(contents);
        setup::StageDriver(warmUp.run);
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto staging = std::make_unique<Staging>(contents);
        state.ResumeTiming();
        setup::StageDriver(staging->run);
        state.PauseTiming();
        staging.reset();  // freeing the machine is no part of the step
        state.ResumeTiming();
    }
    state.counters["files"] = static_cast<double>(mediumFiles);
    state.counters["MB"] = static_cast<double>(mediumBytes >> 20);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * mediumBytes));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_StageDriver)
    ->Arg(kMediumFiles / 8)
    ->Arg(kMediumFiles / 4)
    ->Arg(kMediumFiles / 2)
    ->Arg(kMediumFiles)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_DriverRunOnLargeMachine(benchmark::State& state) {
    const Machine& contents = MachineOf(kKeys, kInfFiles, kMediumFiles, kMediumBytes);
    std::uint64_t virtualTime = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto machine = std::make_unique<LargeMachine>(contents);
        state.ResumeTiming();
        try {
            setup::SetupApp(*machine).Run();
        } catch (const vm::ProcessExit&) {
        }
        state.PauseTiming();
        if (!machine->RestartRequested()) state.SkipWithError("the installation did not reach its restart");
        virtualTime = machine->Now();
        machine.reset();
        state.ResumeTiming();
    }
    state.counters["keys"] = kKeys;
    state.counters["inf_files"] = kInfFiles;
    state.counters["MB"] = kMediumBytes >> 20;
    state.counters["virtual_s"] = static_cast<double>(virtualTime) / 1000;
}
BENCHMARK(BM_DriverRunOnLargeMachine)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
