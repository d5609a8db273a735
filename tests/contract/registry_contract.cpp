// The registry: what RegSetValueEx stores, buffer sizes, enumeration,
// failed opens and the deletion of key trees.
#include "contract/contract.h"

namespace contract {

using namespace platform;
using namespace std::string_literals;

void Registry(Host& host, Report& report) {
    Platform& api = host.api;
    const std::string base = Host::kKey;
    const auto open = [&](HKey root, const std::string& path, HKey& key) { return api.RegOpenKeyEx(root, path, KEY_ALL_ACCESS, key); };
    host.CreateKey(HKEY_CURRENT_USER, base + "\\Values");
    HKey key = 0;
    report.Expect("registry open in another case", open(HKEY_CURRENT_USER, "software\\OVCONTRACT\\values\\", key), Windows<long long>(ERROR_SUCCESS));

    // What a reader gets back of data set without its terminating zero, or
    // with more zeros than one.
    const std::tuple<std::uint32_t, std::string, Windows<std::string>> stores[] = {
        /* 0 */ {REG_SZ, "CD Quality", "CD Quality\0"s},
        /* 1 */ {REG_SZ, "abc\0"s, "abc\0"s},
        /* 2 */ {REG_SZ, "", {"\0"s, ""}},
        /* 3 */ {REG_SZ, "a\0b"s, {"a\0"s, "a\0b\0"s}},
        /* 4 */ {REG_SZ, "a\0b\0"s, {"a\0"s, "a\0b\0"s}},
        /* 5 */ {REG_EXPAND_SZ, "%x%", {"%x%", "%x%\0"s}},
        /* 6 */ {REG_MULTI_SZ, "a\0b"s, {"a\0b"s, "a\0b\0"s}},
        /* 7 */ {REG_MULTI_SZ, "a\0b\0\0"s, "a\0b\0\0"s},
        /* 8 */ {REG_BINARY, "abc", "abc"s},
    };
    for (std::size_t i = 0; i < std::size(stores); ++i) {
        const auto& [type, data, stored] = stores[i];
        RegValue value;
        const bool read = !api.RegSetValueEx(key, "v", type, data) && !api.RegQueryValueEx(key, "v", 1024, value) && value.type == type;
        report.Expect("registry stored " + std::to_string(i), read ? value.data : "(failed)", stored);
    }

    // Sizes: the data's bytes with the zero; a name's characters and the zero.
    api.RegDeleteValue(key, "v");
    api.RegSetValueEx(key, "ProviderName", REG_SZ, "Orvanta Inc.");
    RegValue value;
    RegEnumValueResult entry;
    const std::pair<long, long long> sizes[] = {
        /* 0 */ {api.RegQueryValueEx(key, "providername", 13, value), ERROR_SUCCESS},
        /* 1 */ {api.RegQueryValueEx(key, "ProviderName", 12, value), ERROR_MORE_DATA},
        /* 2 */ {api.RegQueryValueEx(key, "Missing", 1024, value), ERROR_FILE_NOT_FOUND},
        /* 3 */ {api.RegEnumValue(key, 0, 13, 13, entry), ERROR_SUCCESS},
        /* 4 */ {api.RegEnumValue(key, 0, 12, 13, entry), ERROR_MORE_DATA},
        /* 5 */ {api.RegEnumValue(key, 0, 13, 12, entry), ERROR_MORE_DATA},
        /* 6 */ {api.RegEnumValue(key, 1, 80, 80, entry), ERROR_NO_MORE_ITEMS},
        /* 7 */ {api.RegDeleteValue(key, "Missing"), ERROR_FILE_NOT_FOUND},
        /* 8 */ {api.RegDeleteValue(key, "PROVIDERNAME"), ERROR_SUCCESS},
        /* 9 */ {api.RegQueryValueEx(key, "ProviderName", 1024, value), ERROR_FILE_NOT_FOUND},
    };
    for (std::size_t i = 0; i < std::size(sizes); ++i) report.Expect("registry sizes " + std::to_string(i), sizes[i].first, sizes[i].second);
    api.RegCloseKey(key);

    // Sub-keys by index until the call fails; names that sort as they were
    // made give the same order on every system.
    for (const std::string& name : {"A_VEN"s, "B" + std::string(78, 'L'), "C" + std::string(79, 'M')}) host.CreateKey(HKEY_CURRENT_USER, base + "\\Enum\\" + name);
    open(HKEY_CURRENT_USER, base + "\\Enum", key);
    std::string name;  // index 0 last: the name it reads is the first
    const long enumeration[] = {api.RegEnumKeyEx(key, 3, 80, name), api.RegEnumKeyEx(key, 2, 80, name), api.RegEnumKeyEx(key, 1, 80, name),
                                api.RegEnumKeyEx(key, 0, 80, name)};
    report.Expect("registry enumeration", std::to_string(enumeration[0]) + " " + std::to_string(enumeration[1]) + " " +
                  std::to_string(enumeration[2]) + " " + std::to_string(enumeration[3]) + " " + name, "259 234 0 0 A_VEN"s);
    api.RegCloseKey(key);

    // A failed open leaves no key behind.
    HKey missing = 12345;
    report.Expect("registry failed open", open(HKEY_CURRENT_USER, base + "\\Missing", missing), Windows<long long>(ERROR_FILE_NOT_FOUND));
    report.Expect("registry failed open's key", static_cast<long long>(missing), Windows<long long>(0));

    // A key goes with its sub-keys; a handle open on it notices.
    host.CreateKey(HKEY_CURRENT_USER, base + "\\Tree\\A\\B");
    HKey inside = 0, gone = 0;
    open(HKEY_CURRENT_USER, base + "\\Tree\\A", inside);
    const long deleted = api.RegDeleteKey(HKEY_CURRENT_USER, base + "\\Tree"), reopened = open(HKEY_CURRENT_USER, base + "\\Tree", gone);
    report.Expect("registry tree deleted, opened again, read through a handle",
                  std::to_string(deleted) + " " + std::to_string(reopened) + " " + std::to_string(api.RegQueryValueEx(inside, "x", 10, value)),
                  "0 2 1018"s);
    api.RegCloseKey(inside);

    // An empty sub-key never deletes the key it is relative to.
    host.CreateKey(HKEY_CURRENT_USER, base + "\\Keep");
    open(HKEY_CURRENT_USER, base + "\\Keep", key);
    for (const char* empty : {"", "\\"}) report.Expect("registry delete of " + Shown(empty), api.RegDeleteKey(key, empty), Windows<long long>(ERROR_FILE_NOT_FOUND));
    api.RegCloseKey(key);
    report.Expect("registry key kept", open(HKEY_CURRENT_USER, base + "\\Keep", key), Windows<long long>(ERROR_SUCCESS));
    api.RegCloseKey(key);
}

}  // namespace contract
