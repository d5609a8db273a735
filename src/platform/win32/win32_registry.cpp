#include <algorithm>
#include <climits>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

// The predefined roots are 32-bit values that Windows sign-extends in a
// 64-bit HKEY; the interface carries them zero-extended. (On 32-bit Windows
// this changes nothing.)
HKEY ToHkey(HKey key) {
    if (std::uint64_t{key} >> 31 == 1) {
        return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(static_cast<DWORD>(key))));
    }
    return reinterpret_cast<HKEY>(key);
}

HKey FromHkey(HKEY key) { return reinterpret_cast<HKey>(key); }

// A caller's buffer size as the API takes it: a size beyond what a DWORD
// holds only means "large enough".
DWORD ToDword(std::size_t size) { return static_cast<DWORD>(std::min<std::size_t>(size, ULONG_MAX)); }

// Room for `size` bytes, never zero: the API is given a real buffer even
// when its size is 0, so that a non-empty result fails with ERROR_MORE_DATA
// instead of reporting its size.
std::string Room(std::size_t size) { return std::string(std::max<std::size_t>(size, 1), '\0'); }

BYTE* Bytes(std::string& buffer) { return reinterpret_cast<BYTE*>(&buffer[0]); }

long DeleteKeyTree(HKEY parent, const char* subKey);

// Deletes every sub-key of key. Always asks for index 0: each deletion
// moves the next sub-key there.
long DeleteSubKeys(HKEY key) {
    constexpr DWORD kLongestKeyName = 255;
    char name[kLongestKeyName + 1];
    for (;;) {
        DWORD nameChars = sizeof name;
        long result = ::RegEnumKeyExA(key, 0, name, &nameChars, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
        if (result == ERROR_SUCCESS) result = DeleteKeyTree(key, name);
        if (result != ERROR_SUCCESS) return result;
    }
}

// Windows NT and Wine refuse to delete a key that has sub-keys, so they go
// first. Windows 9x would delete them itself; the same order does no harm
// there. The key's own deletion is tried even when a sub-key resisted: its
// result is the one that counts.
long DeleteKeyTree(HKEY parent, const char* subKey) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(parent, subKey, 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        DeleteSubKeys(key);
        ::RegCloseKey(key);
    }
    return ::RegDeleteKeyA(parent, subKey);
}

}  // namespace

long Win32Platform::RegOpenKeyEx(HKey root, const std::string& subKey, std::uint32_t access, HKey& result) {
    HKEY opened = nullptr;
    const long status = ::RegOpenKeyExA(ToHkey(root), subKey.c_str(), 0, access, &opened);
    result = status == ERROR_SUCCESS ? FromHkey(opened) : 0;
    return status;
}

long Win32Platform::RegQueryValueEx(HKey key, const std::string& name, std::size_t bufferBytes, RegValue& result) {
    std::string data = Room(bufferBytes);
    DWORD type = REG_NONE;
    DWORD dataBytes = ToDword(bufferBytes);
    const long status = ::RegQueryValueExA(ToHkey(key), name.c_str(), nullptr, &type, Bytes(data), &dataBytes);
    if (status != ERROR_SUCCESS) return status;
    data.resize(dataBytes);
    result.type = type;
    result.data = std::move(data);
    return status;
}

long Win32Platform::RegSetValueEx(HKey key, const std::string& name, std::uint32_t type, const std::string& data) {
    return ::RegSetValueExA(ToHkey(key), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                            ToDword(data.size()));
}

long Win32Platform::RegDeleteValue(HKey key, const std::string& name) {
    return ::RegDeleteValueA(ToHkey(key), name.c_str());
}

long Win32Platform::RegEnumKeyEx(HKey key, std::uint32_t index, std::size_t nameChars, std::string& name) {
    std::string buffer = Room(nameChars);
    DWORD length = ToDword(nameChars);
    const long status =
        ::RegEnumKeyExA(ToHkey(key), index, &buffer[0], &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) return status;
    buffer.resize(length);
    name = std::move(buffer);
    return status;
}

long Win32Platform::RegEnumValue(HKey key, std::uint32_t index, std::size_t nameChars, std::size_t dataBytes,
                                 RegEnumValueResult& result) {
    std::string name = Room(nameChars);
    std::string data = Room(dataBytes);
    DWORD nameLength = ToDword(nameChars);
    DWORD dataLength = ToDword(dataBytes);
    DWORD type = REG_NONE;
    const long status =
        ::RegEnumValueA(ToHkey(key), index, &name[0], &nameLength, nullptr, &type, Bytes(data), &dataLength);
    if (status != ERROR_SUCCESS) return status;
    name.resize(nameLength);
    data.resize(dataLength);
    result.name = std::move(name);
    result.value.type = type;
    result.value.data = std::move(data);
    return status;
}

long Win32Platform::RegDeleteKey(HKey root, const std::string& subKey) {
    // An empty sub-key (or separators alone) names the key itself, which
    // Windows would delete: the interface never does.
    if (subKey.find_first_not_of('\\') == std::string::npos) return ERROR_FILE_NOT_FOUND;
    return DeleteKeyTree(ToHkey(root), subKey.c_str());
}

long Win32Platform::RegCloseKey(HKey key) { return ::RegCloseKey(ToHkey(key)); }

}  // namespace platform::win32
