// Registries as big as the campaign's and the benchmarks' (keys with
// thousands of sub-keys): lookups stay right through deletions, new keys,
// copies and registries made again where old ones were.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/vm/registry.h"

namespace {

using platform::HKEY_LOCAL_MACHINE;
using vm::Registry;

std::string Numbered(const char* format, int number) {
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

std::vector<std::string> SubKeyNames(const Registry& registry, const std::string& path) {
    std::vector<std::string> names;
    for (const auto& child : registry.Find(HKEY_LOCAL_MACHINE, path)->subKeys) names.push_back(child->name);
    return names;
}

TEST(LargeRegistry, LookupsFollowDeletionsAndNewKeys) {
    constexpr int kKeys = 3000;
    Registry registry;
    std::vector<std::string> expected;
    for (int i = 0; i < kKeys; ++i) {
        expected.push_back(Numbered("Device%04d", i));
        registry.Create(HKEY_LOCAL_MACHINE, "Enum\\PCI\\" + expected.back() + "\\Instance");
    }
    // Every third key goes, from the front, as the purge deletes.
    for (int i = 0; i < kKeys; i += 3) {
        ASSERT_TRUE(registry.Delete(HKEY_LOCAL_MACHINE, "enum\\pci\\" + Numbered("DEVICE%04d", i)));
        ASSERT_FALSE(registry.Delete(HKEY_LOCAL_MACHINE, "Enum\\PCI\\" + Numbered("Device%04d", i)));
    }
    std::vector<std::string> left;
    for (int i = 0; i < kKeys; ++i) {
        const Registry::Key* key = registry.Find(HKEY_LOCAL_MACHINE, "Enum\\PCI\\" + Numbered("dEVICE%04d", i));
        EXPECT_EQ(key != nullptr, i % 3 != 0) << i;
        if (key) {
            EXPECT_EQ(key->name, Numbered("Device%04d", i));
            EXPECT_NE(registry.Find(HKEY_LOCAL_MACHINE, "Enum\\PCI\\" + key->name + "\\INSTANCE"), nullptr);
            left.push_back(key->name);
        }
    }
    EXPECT_EQ(SubKeyNames(registry, "Enum\\PCI"), left);
    // A key made again goes to the end of the enumeration, once.
    Registry::Key* again = registry.Create(HKEY_LOCAL_MACHINE, "Enum\\PCI\\Device0003");
    EXPECT_EQ(registry.Create(HKEY_LOCAL_MACHINE, "Enum\\PCI\\DEVICE0003"), again);
    left.push_back("Device0003");
    EXPECT_EQ(SubKeyNames(registry, "Enum\\PCI"), left);
    // A sub-key added by hand, outside the registry's own calls.
    registry.Find(HKEY_LOCAL_MACHINE, "Enum\\PCI")->subKeys.push_back(std::make_unique<Registry::Key>());
    registry.Find(HKEY_LOCAL_MACHINE, "Enum\\PCI")->subKeys.back()->name = "ByHand";
    EXPECT_NE(registry.Find(HKEY_LOCAL_MACHINE, "Enum\\PCI\\byhand"), nullptr);
}

TEST(LargeRegistry, CopiesAndRegistriesMadeAgainKeepTheirOwnKeys) {
    Registry original;
    for (int i = 0; i < 500; ++i) original.Create(HKEY_LOCAL_MACHINE, Numbered("Big\\Key%03d", i));
    Registry copy = original;
    copy.Delete(HKEY_LOCAL_MACHINE, "Big\\Key100");
    copy.Create(HKEY_LOCAL_MACHINE, "Big\\Extra");
    EXPECT_NE(original.Find(HKEY_LOCAL_MACHINE, "Big\\Key100"), nullptr);
    EXPECT_EQ(original.Find(HKEY_LOCAL_MACHINE, "Big\\Extra"), nullptr);
    EXPECT_EQ(copy.Find(HKEY_LOCAL_MACHINE, "Big\\Key100"), nullptr);
    EXPECT_NE(copy.Find(HKEY_LOCAL_MACHINE, "Big\\Extra"), nullptr);
    EXPECT_EQ(Registry::ParseRegFile(copy.ExportRegFile()), copy);

    // New registries land where old ones were; none may see its
    // predecessor's keys.
    for (int round = 0; round < 20; ++round) {
        Registry registry;
        for (int i = 0; i < 100; ++i) registry.Create(HKEY_LOCAL_MACHINE, Numbered("Big\\R%d", round) + Numbered("_%d", i));
        for (int i = 0; i < 100; i += 9) {
            EXPECT_NE(registry.Find(HKEY_LOCAL_MACHINE, Numbered("Big\\R%d", round) + Numbered("_%d", i)), nullptr);
            if (round > 0) {
                EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, Numbered("Big\\R%d", round - 1) + Numbered("_%d", i)),
                          nullptr);
            }
        }
        EXPECT_EQ(registry.Find(HKEY_LOCAL_MACHINE, "Big")->subKeys.size(), 100u);
    }
}

}  // namespace
