// The registry's own types, handles, result codes, value types and access
// rights, with the numbers the program's callers expect.
#pragma once

#include <cstdint>

namespace norix::platform::registry {

using DWORD = std::uint32_t;
using LSTATUS = std::int32_t;
using REGSAM = std::uint32_t;

// A key handle. HKEY_LOCAL_MACHINE is predefined and never needs closing;
// every other handle comes from RegOpenKeyEx or RegCreateKeyEx and is
// released by RegCloseKey. HKEY{} is no key.
enum class HKEY : std::uint32_t {};
inline constexpr HKEY HKEY_LOCAL_MACHINE{0x80000002u};

// Results.
inline constexpr LSTATUS ERROR_SUCCESS = 0;
inline constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;  // no such key or value
inline constexpr LSTATUS ERROR_ACCESS_DENIED = 5;   // the handle lacks the right
inline constexpr LSTATUS ERROR_INVALID_HANDLE = 6;  // not an open key
inline constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
inline constexpr LSTATUS ERROR_BAD_PATHNAME = 161;         // an empty part in a key path
inline constexpr LSTATUS ERROR_MORE_DATA = 234;            // the buffer is too small
inline constexpr LSTATUS ERROR_NO_MORE_ITEMS = 259;        // enumeration index past the end
inline constexpr LSTATUS ERROR_REGISTRY_CORRUPT = 1015;    // store file malformed: not written
inline constexpr LSTATUS ERROR_REGISTRY_IO_FAILED = 1016;  // store file could not be written
inline constexpr LSTATUS ERROR_KEY_DELETED = 1018;         // the open key no longer exists

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// Access rights of a key handle.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM READ_CONTROL = 0x00020000;
inline constexpr REGSAM KEY_READ =
    READ_CONTROL | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
inline constexpr REGSAM KEY_WRITE = READ_CONTROL | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
inline constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// RegCreateKeyEx options and dispositions.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_OPTION_VOLATILE = 1;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

}  // namespace norix::platform::registry
