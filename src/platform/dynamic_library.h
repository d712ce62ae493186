#pragma once
// A shared library loaded at run time (dlopen on POSIX, LoadLibrary on Windows), owned by
// one object and released when that object goes.

#include <string>

namespace veld {

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  // Loads the library at path; IsLoaded() tells whether that worked.
  explicit DynamicLibrary(const std::string& path);
  ~DynamicLibrary();
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  bool IsLoaded() const { return handle_ != nullptr; }
  const std::string& path() const { return path_; }
  // Why the last load failed, as the system put it.
  const std::string& error() const { return error_; }

  // The address of an exported symbol; nullptr when the library has none of that name.
  void* Symbol(const char* name) const;

  // An exported function, as a pointer of type Function; nullptr when missing.
  template <typename Function>
  Function Entry(const char* name) const {
    return reinterpret_cast<Function>(Symbol(name));
  }

 private:
  void Release();
  void* handle_ = nullptr;
  std::string path_;
  std::string error_;
};

// The folder that holds the running executable; empty when the system does not say.
std::string ExecutableFolder();

#ifdef _WIN32
// The Windows system directory, where the platform's own libraries live.
std::string SystemFolder();
#endif

}  // namespace veld
