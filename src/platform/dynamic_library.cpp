#include "platform/dynamic_library.h"

#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <filesystem>
#include <system_error>
#endif

namespace veld {

DynamicLibrary::DynamicLibrary(const std::string& path) : path_(path) {
#ifdef _WIN32
  handle_ = reinterpret_cast<void*>(::LoadLibraryA(path.c_str()));
  if (handle_ == nullptr) error_ = "LoadLibrary failed with error " + std::to_string(::GetLastError());
#else
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = ::dlerror();
    error_ = why != nullptr ? why : "dlopen failed";
  }
#endif
}

DynamicLibrary::~DynamicLibrary() { Release(); }

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      path_(std::move(other.path_)),
      error_(std::move(other.error_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Release();
    handle_ = std::exchange(other.handle_, nullptr);
    path_ = std::move(other.path_);
    error_ = std::move(other.error_);
  }
  return *this;
}

void DynamicLibrary::Release() {
  if (handle_ == nullptr) return;
#ifdef _WIN32
  ::FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
  ::dlclose(handle_);
#endif
  handle_ = nullptr;
}

void* DynamicLibrary::Symbol(const char* name) const {
  if (handle_ == nullptr) return nullptr;
#ifdef _WIN32
  return reinterpret_cast<void*>(::GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
#else
  return ::dlsym(handle_, name);
#endif
}

std::string ExecutableFolder() {
#ifdef _WIN32
  char buffer[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  std::string path(buffer, length);
  const size_t cut = path.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path.substr(0, cut);
#else
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.parent_path().string();
#endif
}

#ifdef _WIN32
std::string SystemFolder() {
  char buffer[MAX_PATH] = {};
  const UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : std::string(buffer, length);
}
#endif

}  // namespace veld
