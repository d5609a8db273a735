// The registry: what RegSetValueEx stores, buffer sizes, enumeration,
// failed opens and the deletion of key trees.
#include "contract/contract.h"

namespace contract {

namespace {

using namespace platform;

std::string Bytes(const char* text, std::size_t size) { return std::string(text, size); }

}  // namespace

void Registry(Host& host, Report& report) {
    Platform& api = host.api;
    const std::string base = Host::kKey;
    host.CreateKey(HKEY_CURRENT_USER, base + "\\Values");
    HKey key = 0;
    report.Expect("registry open in another case", api.RegOpenKeyEx(HKEY_CURRENT_USER, "software\\OVCONTRACT\\values\\", KEY_ALL_ACCESS, key),
                  Windows<long long>(ERROR_SUCCESS));

    // What a reader gets back of data set without its terminating zero, or
    // with more zeros than one.
    struct SetRow { std::uint32_t type; std::string data; Windows<std::string> stored; };
    const SetRow sets[] = {
        /* 0 */ {REG_SZ, "CD Quality", Bytes("CD Quality\0", 11)},
        /* 1 */ {REG_SZ, Bytes("abc\0", 4), Bytes("abc\0", 4)},
        /* 2 */ {REG_SZ, "", {Bytes("\0", 1), ""}},
        /* 3 */ {REG_SZ, Bytes("a\0b", 3), {Bytes("a\0", 2), Bytes("a\0b\0", 4)}},
        /* 4 */ {REG_SZ, Bytes("a\0b\0", 4), {Bytes("a\0", 2), Bytes("a\0b\0", 4)}},
        /* 5 */ {REG_EXPAND_SZ, "%x%", {"%x%", Bytes("%x%\0", 4)}},
        /* 6 */ {REG_MULTI_SZ, Bytes("a\0b", 3), {Bytes("a\0b", 3), Bytes("a\0b\0", 4)}},
        /* 7 */ {REG_MULTI_SZ, Bytes("a\0b\0\0", 5), Bytes("a\0b\0\0", 5)},
        /* 8 */ {REG_BINARY, "abc", std::string("abc")},
        /* 9 */ {REG_DWORD, Bytes("\x2a\0\0\0", 4), Bytes("\x2a\0\0\0", 4)},
    };
    for (std::size_t i = 0; i < std::size(sets); ++i) {
        const SetRow& row = sets[i];
        RegValue value;
        const long set = api.RegSetValueEx(key, "v", row.type, row.data);
        const long read = api.RegQueryValueEx(key, "v", 1024, value);
        report.Expect("registry stored " + std::to_string(i),
                      set || read || value.type != row.type ? "(failed)" : value.data, row.stored);
    }

    // Sizes: the data's bytes with the zero; a name's characters and the zero.
    api.RegSetValueEx(key, "ProviderName", REG_SZ, "Orvanta Inc.");
    RegValue value;
    RegEnumValueResult entry;
    api.RegDeleteValue(key, "v");
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

    // Sub-keys by index until the call fails; names sort as they were made,
    // so that the index order is the same on every system.
    for (const std::string& name : {std::string("A_VEN"), "B" + std::string(78, 'L'), "C" + std::string(79, 'M')}) {
        host.CreateKey(HKEY_CURRENT_USER, base + "\\Enum\\" + name);
    }
    HKey enumKey = 0;
    api.RegOpenKeyEx(HKEY_CURRENT_USER, base + "\\Enum", KEY_READ, enumKey);
    std::string name;
    const std::pair<long, long long> enumeration[] = {
        {api.RegEnumKeyEx(enumKey, 0, 80, name), ERROR_SUCCESS}, {api.RegEnumKeyEx(enumKey, 1, 80, name), ERROR_SUCCESS},
        {api.RegEnumKeyEx(enumKey, 2, 80, name), ERROR_MORE_DATA}, {api.RegEnumKeyEx(enumKey, 3, 80, name), ERROR_NO_MORE_ITEMS},
    };
    for (std::size_t i = 0; i < std::size(enumeration); ++i) {
        report.Expect("registry enumeration " + std::to_string(i), enumeration[i].first, enumeration[i].second);
    }
    api.RegEnumKeyEx(enumKey, 0, 80, name);
    report.Expect("registry enumerated name", name, std::string("A_VEN"));
    api.RegCloseKey(enumKey);

    // A failed open leaves no key behind.
    HKey missing = 12345;
    report.Expect("registry failed open", api.RegOpenKeyEx(HKEY_CURRENT_USER, base + "\\Missing", KEY_READ, missing),
                  Windows<long long>(ERROR_FILE_NOT_FOUND));
    report.Expect("registry failed open's key", static_cast<long long>(missing), Windows<long long>(0));

    // A key goes with its sub-keys; a handle open on it notices.
    host.CreateKey(HKEY_CURRENT_USER, base + "\\Tree\\A\\B");
    HKey inside = 0;
    api.RegOpenKeyEx(HKEY_CURRENT_USER, base + "\\Tree\\A", KEY_READ, inside);
    report.Expect("registry tree deleted", api.RegDeleteKey(HKEY_CURRENT_USER, base + "\\Tree"), Windows<long long>(ERROR_SUCCESS));
    HKey gone = 0;
    report.Expect("registry tree gone", api.RegOpenKeyEx(HKEY_CURRENT_USER, base + "\\Tree", KEY_READ, gone),
                  Windows<long long>(ERROR_FILE_NOT_FOUND));
    report.Expect("registry handle on a deleted key", api.RegQueryValueEx(inside, "x", 10, value), Windows<long long>(ERROR_KEY_DELETED));
    api.RegCloseKey(inside);

    // An empty sub-key never deletes the key it is relative to.
    host.CreateKey(HKEY_CURRENT_USER, base + "\\Keep");
    HKey keep = 0;
    api.RegOpenKeyEx(HKEY_CURRENT_USER, base + "\\Keep", KEY_ALL_ACCESS, keep);
    for (const char* empty : {"", "\\"}) {
        report.Expect("registry delete of " + Shown(empty), api.RegDeleteKey(keep, empty), Windows<long long>(ERROR_FILE_NOT_FOUND));
    }
    api.RegCloseKey(keep);
    HKey kept = 0;
    report.Expect("registry key kept", api.RegOpenKeyEx(HKEY_CURRENT_USER, base + "\\Keep", KEY_READ, kept), Windows<long long>(ERROR_SUCCESS));
    api.RegCloseKey(kept);
}

}  // namespace contract
