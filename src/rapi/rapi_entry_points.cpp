// The stand-in remote API library: the entry points that the device link takes by name,
// served from the folder that $VELD_DEVICE names (see device_volume.h).
//
// Connection: CeRapiInit answers E_FAIL while that folder is missing, S_OK when it opens
// the connection and CERAPI_E_ALREADYINITIALIZED when it is already open. Every successful
// call is counted and undone by one CeRapiUninit, so that a copy nested inside a folder
// listing (init, copy, uninit) leaves the listing's handle usable; when the count falls to
// zero every handle still open is closed. No call works without an open connection.
//
// Listings give regular files and folders (FILE_ATTRIBUTE_DIRECTORY), never "." or "..",
// in case-insensitive name order, as a snapshot taken by CeFindFirstFile.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <variant>
#include <vector>

#include "device/rapi_types.h"
#include "rapi/device_volume.h"

#if defined(_WIN32)
#define VELD_RAPI_EXPORT extern "C" __declspec(dllexport)
#else
#define VELD_RAPI_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using namespace veld::rapi;
namespace fs = std::filesystem;

namespace {

struct OpenFile {
  fs::path path;
  std::unique_ptr<std::fstream> stream;
  bool can_read = false;
  bool can_write = false;
  unsigned reads = 0;
  unsigned fail_read_at = 0;  // test hook: this read fails (0: none does)
};

struct Listing {
  std::vector<veld::standin::ListedEntry> entries;
  size_t next = 0;
};

using Object = std::variant<OpenFile, Listing>;

struct Connection {
  std::mutex mutex;
  int init_count = 0;
  uintptr_t next_handle = 0x100;
  std::map<uintptr_t, Object> objects;
};

Connection& State() {
  static Connection connection;
  return connection;
}

HANDLE Store(Connection& state, Object object) {
  state.next_handle += 4;
  state.objects.emplace(state.next_handle, std::move(object));
  return reinterpret_cast<HANDLE>(state.next_handle);
}

template <typename T>
T* Find(Connection& state, HANDLE handle) {
  const auto it = state.objects.find(reinterpret_cast<uintptr_t>(handle));
  return it == state.objects.end() ? nullptr : std::get_if<T>(&it->second);
}

unsigned FailReadAt() {
  const char* text = std::getenv(kFailReadAtVariable);
  if (text == nullptr) return 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  return end != text && value <= 0xFFFFFFFFu ? static_cast<unsigned>(value) : 0;
}

bool CreateEmptyFile(const fs::path& path) {
  std::ofstream created(path, std::ios::binary | std::ios::trunc);
  return static_cast<bool>(created);
}

// Applies the creation disposition to the host file; false when the call must fail.
bool PrepareFile(const fs::path& path, DWORD creation, bool can_write) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);  // one look for both tests
  if (fs::is_directory(status)) return false;
  const bool exists = fs::exists(status);
  switch (creation) {
    case CREATE_NEW: return !exists && CreateEmptyFile(path);
    case CREATE_ALWAYS: return CreateEmptyFile(path);
    case OPEN_EXISTING: return exists;
    case OPEN_ALWAYS: return exists || CreateEmptyFile(path);
    case TRUNCATE_EXISTING: return exists && can_write && CreateEmptyFile(path);
    default: return false;
  }
}

void FillFindData(const veld::standin::ListedEntry& entry, CE_FIND_DATA* data) {
  *data = CE_FIND_DATA{};
  data->dwFileAttributes = entry.is_folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
  const FILETIME when{static_cast<DWORD>(entry.write_time), static_cast<DWORD>(entry.write_time >> 32)};
  data->ftCreationTime = data->ftLastAccessTime = data->ftLastWriteTime = when;
  data->nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
  data->nFileSizeLow = static_cast<DWORD>(entry.size);
  entry.name.copy(data->cFileName, MAX_PATH - 1);
}

// Names too long for the find-data record are left out of a listing.
std::vector<veld::standin::ListedEntry> ListableEntries(LPCWSTR pattern) {
  auto entries = veld::standin::ListDeviceFolder(pattern);
  std::erase_if(entries, [](const auto& entry) { return entry.name.size() >= MAX_PATH; });
  return entries;
}

}  // namespace

VELD_RAPI_EXPORT HRESULT VELD_RAPI_CALL CeRapiInit() {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  if (!veld::standin::DeviceRoot()) return E_FAIL;
  return state.init_count++ == 0 ? S_OK : CERAPI_E_ALREADYINITIALIZED;
}

VELD_RAPI_EXPORT HRESULT VELD_RAPI_CALL CeRapiUninit() {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  if (state.init_count == 0) return E_FAIL;
  if (--state.init_count == 0) state.objects.clear();
  return S_OK;
}

VELD_RAPI_EXPORT HANDLE VELD_RAPI_CALL CeCreateFile(LPCWSTR path, DWORD access, DWORD /*share*/,
                                                    SECURITY_ATTRIBUTES* /*security*/, DWORD creation,
                                                    DWORD /*flags*/, HANDLE /*template_file*/) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  if (state.init_count == 0 || path == nullptr) return INVALID_HANDLE_VALUE;
  const std::optional<fs::path> host = veld::standin::ResolveDevicePath(path);
  OpenFile file;
  file.can_read = (access & GENERIC_READ) != 0;
  file.can_write = (access & GENERIC_WRITE) != 0;
  if (!host || !PrepareFile(*host, creation, file.can_write)) return INVALID_HANDLE_VALUE;
  std::ios::openmode mode = std::ios::binary | std::ios::in;
  if (file.can_write) mode |= std::ios::out;
  file.stream = std::make_unique<std::fstream>(*host, mode);
  if (!*file.stream) return INVALID_HANDLE_VALUE;
  file.path = *host;
  file.fail_read_at = FailReadAt();
  return Store(state, std::move(file));
}

VELD_RAPI_EXPORT BOOL VELD_RAPI_CALL CeReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read,
                                                OVERLAPPED* /*overlapped*/) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  if (read != nullptr) *read = 0;
  OpenFile* file = Find<OpenFile>(state, handle);
  if (file == nullptr || !file->can_read || (buffer == nullptr && size > 0)) return FALSE;
  if (++file->reads == file->fail_read_at) return FALSE;
  std::fstream& stream = *file->stream;
  stream.clear();
  stream.seekg(stream.tellp());  // reads and writes share one position, as on the device
  stream.read(static_cast<char*>(buffer), size);
  const auto got = stream.gcount();
  if (stream.bad()) return FALSE;
  stream.clear();
  if (read != nullptr) *read = static_cast<DWORD>(got);
  return TRUE;
}

VELD_RAPI_EXPORT BOOL VELD_RAPI_CALL CeWriteFile(HANDLE handle, const void* buffer, DWORD size, DWORD* written,
                                                 OVERLAPPED* /*overlapped*/) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  if (written != nullptr) *written = 0;
  OpenFile* file = Find<OpenFile>(state, handle);
  if (file == nullptr || !file->can_write || (buffer == nullptr && size > 0)) return FALSE;
  std::fstream& stream = *file->stream;
  stream.clear();
  stream.seekp(stream.tellg());
  stream.write(static_cast<const char*>(buffer), size);
  if (!stream.flush()) return FALSE;
  if (written != nullptr) *written = size;
  return TRUE;
}

VELD_RAPI_EXPORT BOOL VELD_RAPI_CALL CeSetEndOfFile(HANDLE handle) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  OpenFile* file = Find<OpenFile>(state, handle);
  if (file == nullptr || !file->can_write) return FALSE;
  std::fstream& stream = *file->stream;
  stream.clear();
  if (!stream.flush()) return FALSE;
  const auto position = stream.tellp();
  if (position < 0) return FALSE;
  std::error_code ec;
  fs::resize_file(file->path, static_cast<uintmax_t>(position), ec);
  return ec ? FALSE : TRUE;
}

VELD_RAPI_EXPORT DWORD VELD_RAPI_CALL CeGetFileSize(HANDLE handle, DWORD* size_high) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  OpenFile* file = Find<OpenFile>(state, handle);
  if (file == nullptr) return INVALID_FILE_SIZE;
  file->stream->flush();
  std::error_code ec;
  const uintmax_t size = fs::file_size(file->path, ec);
  if (ec) return INVALID_FILE_SIZE;
  if (size_high != nullptr) *size_high = static_cast<DWORD>(size >> 32);
  return static_cast<DWORD>(size);
}

VELD_RAPI_EXPORT BOOL VELD_RAPI_CALL CeCloseHandle(HANDLE handle) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  return state.objects.erase(reinterpret_cast<uintptr_t>(handle)) == 1 ? TRUE : FALSE;
}

VELD_RAPI_EXPORT HANDLE VELD_RAPI_CALL CeFindFirstFile(LPCWSTR pattern, CE_FIND_DATA* find_data) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  if (state.init_count == 0 || pattern == nullptr || find_data == nullptr) return INVALID_HANDLE_VALUE;
  Listing listing{ListableEntries(pattern), 1};
  if (listing.entries.empty()) return INVALID_HANDLE_VALUE;
  FillFindData(listing.entries.front(), find_data);
  return Store(state, std::move(listing));
}

VELD_RAPI_EXPORT BOOL VELD_RAPI_CALL CeFindNextFile(HANDLE handle, CE_FIND_DATA* find_data) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  Listing* listing = Find<Listing>(state, handle);
  if (listing == nullptr || find_data == nullptr || listing->next >= listing->entries.size()) return FALSE;
  FillFindData(listing->entries[listing->next++], find_data);
  return TRUE;
}

VELD_RAPI_EXPORT BOOL VELD_RAPI_CALL CeCreateDirectory(LPCWSTR path, SECURITY_ATTRIBUTES* /*security*/) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  if (state.init_count == 0 || path == nullptr) return FALSE;
  const std::optional<fs::path> host = veld::standin::ResolveDevicePath(path);
  std::error_code ec;
  return host && fs::create_directory(*host, ec) && !ec ? TRUE : FALSE;
}

// A folder cannot run programs.
VELD_RAPI_EXPORT BOOL VELD_RAPI_CALL CeCreateProcess(LPCWSTR, LPCWSTR, SECURITY_ATTRIBUTES*, SECURITY_ATTRIBUTES*,
                                                     BOOL, DWORD, void*, LPWSTR, STARTUPINFO*,
                                                     PROCESS_INFORMATION*) {
  return FALSE;
}

// Describes the calibrator's processor: one ARM core with 4 KiB pages.
VELD_RAPI_EXPORT void VELD_RAPI_CALL CeGetSystemInfo(SYSTEM_INFO* info) {
  if (info == nullptr) return;
  *info = SYSTEM_INFO{};
  info->wProcessorArchitecture = 5;  // ARM
  info->dwPageSize = 4096;
  info->lpMinimumApplicationAddress = reinterpret_cast<void*>(0x10000);
  info->lpMaximumApplicationAddress = reinterpret_cast<void*>(0x7FFFFFFF);
  info->dwActiveProcessorMask = 1;
  info->dwNumberOfProcessors = 1;
  info->dwProcessorType = 2577;  // StrongARM
  info->dwAllocationGranularity = 65536;
}
