// The stand-in remote API library: the entry points that the device link takes by name,
// served from the folder that $VELD_DEVICE names (see device_volume.h).
//
// Connection: CeRapiInit answers E_FAIL while that folder is missing, S_OK when it opens
// the connection and CERAPI_E_ALREADYINITIALIZED when it is already open. Every successful
// call is counted and undone by one CeRapiUninit, so that a copy nested inside a folder
// listing (init, copy, uninit) leaves the listing's handle usable; when the count falls to
// zero every handle still open is closed. No call works without an open connection.
//
// Listings give regular files and folders (FILE_ATTRIBUTE_DIRECTORY), never "." or ".."
// and never a link, in case-insensitive name order, as a snapshot taken by CeFindFirstFile.

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/posix_io.h"
#include "rapi/device_volume.h"
#include "rapi/rapi_types.h"
#include "rapi/standin_faults.h"

#if defined(_WIN32)
#define VELD_RAPI_EXPORT extern "C" __declspec(dllexport)
#else
#define VELD_RAPI_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using namespace veld::rapi;

namespace {

using veld::standin::Descriptor;

// An open device file: one descriptor, whose single position reads and writes share as
// they do on the device. Closed when its handle is closed or the connection ends.
struct OpenFile {
  Descriptor descriptor;
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
  unsigned file_opens = 0;  // CeCreateFile calls since the connection opened
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

// A test hook's number: N > 0 from the variable, else 0.
unsigned HookNumber(const char* variable) {
  const char* text = std::getenv(variable);
  if (text == nullptr) return 0;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  return end != text && value <= 0xFFFFFFFFu ? static_cast<unsigned>(value) : 0;
}

// The open flags of a creation disposition; nothing for one the device does not know.
std::optional<int> CreationFlags(DWORD creation) {
  switch (creation) {
    case CREATE_NEW: return O_CREAT | O_EXCL;
    case CREATE_ALWAYS: return O_CREAT | O_TRUNC;
    case OPEN_EXISTING: return 0;
    case OPEN_ALWAYS: return O_CREAT;
    case TRUNCATE_EXISTING: return O_TRUNC;
    default: return std::nullopt;
  }
}

int AccessFlags(bool can_read, bool can_write) {
  if (can_write) return can_read ? O_RDWR : O_WRONLY;
  return O_RDONLY;
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
  // A nested call answers from the count: the copies inside a listing each make one, and
  // the folder was there when the connection opened.
  if (state.init_count > 0) {
    ++state.init_count;
    return CERAPI_E_ALREADYINITIALIZED;
  }
  if (!veld::standin::DeviceRoot()) return E_FAIL;
  ++state.init_count;
  state.file_opens = 0;
  return S_OK;
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
  const std::optional<int> creation_flags = CreationFlags(creation);
  OpenFile file;
  file.can_read = (access & GENERIC_READ) != 0;
  file.can_write = (access & GENERIC_WRITE) != 0;
  if (!creation_flags || (creation == TRUNCATE_EXISTING && !file.can_write)) return INVALID_HANDLE_VALUE;
  const unsigned vanish_at = HookNumber(kVanishAtVariable);
  if (vanish_at > 0 && ++state.file_opens >= vanish_at) veld::standin::RemoveDeviceFile(path);
  file.descriptor = veld::standin::OpenDeviceFile(path, *creation_flags | AccessFlags(file.can_read, file.can_write));
  if (!file.descriptor.valid()) return INVALID_HANDLE_VALUE;
  file.fail_read_at = HookNumber(kFailReadAtVariable);
  return Store(state, std::move(file));
}

// Fewer bytes than asked only at the end of the file, as a device file reads. A regular
// file's read comes back short only there, so no read is spent on finding the end.
VELD_RAPI_EXPORT BOOL VELD_RAPI_CALL CeReadFile(HANDLE handle, void* buffer, DWORD size, DWORD* read,
                                                OVERLAPPED* /*overlapped*/) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  if (read != nullptr) *read = 0;
  OpenFile* file = Find<OpenFile>(state, handle);
  if (file == nullptr || !file->can_read || (buffer == nullptr && size > 0)) return FALSE;
  if (++file->reads == file->fail_read_at) return FALSE;
  auto got = VELD_READ(file->descriptor.get(), buffer, size);
  while (got < 0 && errno == EINTR) got = VELD_READ(file->descriptor.get(), buffer, size);
  if (got < 0) return FALSE;
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
  DWORD done = 0;
  while (done < size) {
    const auto put = VELD_WRITE(file->descriptor.get(), static_cast<const char*>(buffer) + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return FALSE;
    done += static_cast<DWORD>(put);
  }
  if (written != nullptr) *written = done;
  return TRUE;
}

VELD_RAPI_EXPORT BOOL VELD_RAPI_CALL CeSetEndOfFile(HANDLE handle) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  OpenFile* file = Find<OpenFile>(state, handle);
  if (file == nullptr || !file->can_write) return FALSE;
  const auto position = VELD_LSEEK(file->descriptor.get(), 0, SEEK_CUR);
  if (position < 0) return FALSE;
  return VELD_TRUNCATE(file->descriptor.get(), position) == 0 ? TRUE : FALSE;
}

VELD_RAPI_EXPORT DWORD VELD_RAPI_CALL CeGetFileSize(HANDLE handle, DWORD* size_high) {
  Connection& state = State();
  std::lock_guard lock(state.mutex);
  OpenFile* file = Find<OpenFile>(state, handle);
  if (file == nullptr) return INVALID_FILE_SIZE;
  veld_stat_t info{};
  if (VELD_FSTAT(file->descriptor.get(), &info) != 0) return INVALID_FILE_SIZE;
  const auto size = static_cast<uint64_t>(info.st_size);
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
  return veld::standin::CreateDeviceFolder(path) ? TRUE : FALSE;
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
