#pragma once
// The binary interface of the remote API library, shared by the stand-in library here and
// the device link (which loads the library at run time). The names, values and
// layouts are the library's own, so that the same caller works against the platform's
// library on Windows and against the stand-in elsewhere.
//
// Standard library only. Do not include this header in a file that includes <windows.h>:
// several names here are macros there.

#include <cstdint>

namespace veld::rapi {

using WCHAR = char16_t;  // 16 bits on every host, as on the device
using DWORD = uint32_t;
using WORD = uint16_t;
using BOOL = int32_t;
using HRESULT = int32_t;
using HANDLE = void*;
using LPCWSTR = const WCHAR*;
using LPWSTR = WCHAR*;

constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

// Internal linkage on purpose: no symbol of its own in either binary.
const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT CERAPI_E_ALREADYINITIALIZED = static_cast<HRESULT>(0x80041001u);

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD GENERIC_WRITE = 0x40000000u;

// Creation dispositions.
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD CREATE_ALWAYS = 2;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD TRUNCATE_EXISTING = 5;

constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;

constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;
constexpr DWORD MAX_PATH = 260;

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

// One entry of a device folder listing.
struct CE_FIND_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwOID;
  WCHAR cFileName[MAX_PATH];
};
static_assert(sizeof(CE_FIND_DATA) == 40 + 2 * MAX_PATH, "CE_FIND_DATA must keep the library's layout");

struct SYSTEM_INFO {
  WORD wProcessorArchitecture;
  WORD wReserved;
  DWORD dwPageSize;
  void* lpMinimumApplicationAddress;
  void* lpMaximumApplicationAddress;
  uintptr_t dwActiveProcessorMask;
  DWORD dwNumberOfProcessors;
  DWORD dwProcessorType;
  DWORD dwAllocationGranularity;
  WORD wProcessorLevel;
  WORD wProcessorRevision;
};

// Never filled in by the device link; declared so the entry points keep their arity.
struct SECURITY_ATTRIBUTES;
struct OVERLAPPED;
struct STARTUPINFO;
struct PROCESS_INFORMATION;

#if defined(_WIN32) && !defined(_WIN64)
#define VELD_RAPI_CALL __stdcall
#else
#define VELD_RAPI_CALL
#endif

// The entry points, as taken by name from the loaded library.
using CeRapiInitFn = HRESULT(VELD_RAPI_CALL*)();
using CeRapiUninitFn = HRESULT(VELD_RAPI_CALL*)();
using CeCreateFileFn = HANDLE(VELD_RAPI_CALL*)(LPCWSTR path, DWORD access, DWORD share,
                                               SECURITY_ATTRIBUTES* security, DWORD creation,
                                               DWORD flags, HANDLE template_file);
using CeWriteFileFn = BOOL(VELD_RAPI_CALL*)(HANDLE file, const void* buffer, DWORD size,
                                            DWORD* written, OVERLAPPED* overlapped);
using CeCloseHandleFn = BOOL(VELD_RAPI_CALL*)(HANDLE handle);
using CeFindFirstFileFn = HANDLE(VELD_RAPI_CALL*)(LPCWSTR pattern, CE_FIND_DATA* find_data);
using CeGetFileSizeFn = DWORD(VELD_RAPI_CALL*)(HANDLE file, DWORD* size_high);
using CeReadFileFn = BOOL(VELD_RAPI_CALL*)(HANDLE file, void* buffer, DWORD size, DWORD* read,
                                           OVERLAPPED* overlapped);
using CeFindNextFileFn = BOOL(VELD_RAPI_CALL*)(HANDLE find, CE_FIND_DATA* find_data);
using CeCreateDirectoryFn = BOOL(VELD_RAPI_CALL*)(LPCWSTR path, SECURITY_ATTRIBUTES* security);
using CeCreateProcessFn = BOOL(VELD_RAPI_CALL*)(LPCWSTR application, LPCWSTR command_line,
                                                SECURITY_ATTRIBUTES* process_security,
                                                SECURITY_ATTRIBUTES* thread_security, BOOL inherit,
                                                DWORD flags, void* environment, LPWSTR folder,
                                                STARTUPINFO* startup, PROCESS_INFORMATION* info);
using CeGetSystemInfoFn = void(VELD_RAPI_CALL*)(SYSTEM_INFO* info);
using CeSetEndOfFileFn = BOOL(VELD_RAPI_CALL*)(HANDLE file);

}  // namespace veld::rapi
