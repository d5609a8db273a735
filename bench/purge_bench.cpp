// How long the registry purge takes as the registry grows: a virtual
// registry of N keys, most of them where the purge enumerates (PCI entries
// with their device instances, multimedia resources, class instances), 20 of
// them an earlier driver's, spread through the enumerations.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "cleanup/registry_purge.h"
#include "platform/vm/machine.h"

namespace {

using vm::Registry;

constexpr platform::HKey kHklm = platform::HKEY_LOCAL_MACHINE;
const std::string kMedia = "System\\CurrentControlSet\\services\\Class\\MEDIA\\";
const std::string kResources = "System\\CurrentControlSet\\control\\MediaResources\\";
const char* const kTypes[] = {"aux", "joystick", "midi", "mixer", "wave"};

std::string Numbered(const char* format, std::size_t number) {
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// True for `matches` positions spread evenly over `count`.
bool SpreadMatch(std::size_t position, std::size_t count, std::size_t matches) {
    const std::size_t step = count / (matches + 1);
    return position % step == 0 && position > 0 && position / step <= matches;
}

// 20 entries of an earlier driver: 3 class instances, 5 resource entries
// (one per type, of instance 0100), 6 PCI entries, 3 chip-enumerator
// entries, 3 virtual devices; the rest of the `keys` are other drivers'
// entries and unrelated software keys.
Registry MakeRegistry(std::size_t keys) {
    Registry registry;
    std::size_t made = 0;
    auto create = [&](platform::HKey root, const std::string& path) {
        ++made;
        return registry.Create(root, path);
    };

    const std::size_t instances = keys / 200;  // 3 keys each
    for (std::size_t i = 0; i < instances; ++i) {
        const bool maker = SpreadMatch(i, instances, 3);
        const std::string name = maker ? Numbered("%04zu", 100 + i / (instances / 4)) : Numbered("%04zu", 1000 + i);
        Registry::Key* key = create(kHklm, kMedia + name);
        Registry::SetValue(*key, "DriverDesc", platform::REG_SZ, Registry::SzData("Audio device"));
        Registry::SetValue(*key, "ProviderName", platform::REG_SZ, Registry::SzData(maker ? "Orvanta" : "Other"));
        create(kHklm, kMedia + name + "\\Drivers");
        create(kHklm, kMedia + name + "\\Drivers\\wave");
    }

    const std::size_t perType = keys / 20;
    for (const char* type : kTypes) {
        for (std::size_t i = 0; i < perType; ++i) {
            const bool match = i == perType / 2;
            const std::string name = match ? std::string("ovx.drv<0101>") : Numbered("drv%zu.drv<9999>", i);
            create(kHklm, kResources + type + "\\" + name);
        }
    }

    const std::size_t pciEntries = keys / 4;  // 2 keys each
    for (std::size_t i = 0; i < pciEntries; ++i) {
        const bool match = SpreadMatch(i, pciEntries, 6);
        const std::string name =
            Numbered(match ? "VEN_1D9C&DEV_0111&SUBSYS_%08zu" : "VEN_8086&DEV_%08zu", i);
        create(kHklm, "Enum\\PCI\\" + name);
        create(kHklm, "Enum\\PCI\\" + name + "\\BUS_00&DEV_0A&FUNC_00");
    }
    for (std::size_t i = 0; i < 12; ++i) {
        create(kHklm, Numbered(i % 4 == 1 ? "Enum\\OVX\\CHILD%04zu" : "Enum\\OVX\\OTHER%04zu", i));
    }
    for (const char* device : {"SSC-SWMIDI", "SSC-LEGACY", "SSC-JOYSTK"}) {
        create(kHklm, std::string("Enum\\VIRTUAL\\") + device);
    }
    create(platform::HKEY_CLASSES_ROOT, "Audio3D");
    create(kHklm, "SOFTWARE\\ASIO\\OVX4720 ASIO");

    constexpr std::size_t kVendors = 500;
    for (std::size_t i = 0; i < kVendors; ++i) create(kHklm, Numbered("SOFTWARE\\Vendor%03zu", i));
    for (std::size_t i = 0; made < keys; ++i) {
        create(kHklm, Numbered("SOFTWARE\\Vendor%03zu", i % kVendors) + Numbered("\\Key%zu", i));
    }
    return registry;
}

// Made once per size: the benchmark function runs several times.
const Registry& RegistryOf(std::size_t keys) {
    static std::map<std::size_t, Registry> made;
    auto found = made.find(keys);
    if (found == made.end()) found = made.emplace(keys, MakeRegistry(keys)).first;
    return found->second;
}

void BM_PurgeEarlierDriverRegistry(benchmark::State& state) {
    const Registry& pristine = RegistryOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        vm::VirtualMachine machine;
        machine.Reg() = pristine;
        state.ResumeTiming();
        const setup::PurgeOutcome outcome = setup::PurgeEarlierDriverRegistry(machine);
        state.PauseTiming();
        if (outcome != setup::PurgeOutcome::Removed || machine.GetJournal().Count("delete registry key") != 22) {
            state.SkipWithError("the purge did not delete the 20 entries and the two companion keys");
        }
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PurgeEarlierDriverRegistry)
    ->RangeMultiplier(2)
    ->Range(10000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

}  // namespace
