#include "support/temp_folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace veld::test {
namespace fs = std::filesystem;

namespace {

void Remember(const char* name, std::string& saved, bool& had) {
  if (const char* value = std::getenv(name)) {
    saved = value;
    had = true;
  }
}

void Restore(const char* name, const std::string& saved, bool had) {
  if (had) {
    setenv(name, saved.c_str(), 1);
  } else {
    unsetenv(name);
  }
}

}  // namespace

TempRoot::TempRoot() {
  Remember("VELD_ROOT", saved_root_, had_root_);
  Remember("VELD_DEVICE", saved_device_, had_device_);
  std::string pattern = (fs::temp_directory_path() / "veld-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a temporary folder");
  base_ = pattern;
  root_ = base_ + "/root";
  device_ = base_ + "/device";
  fs::create_directories(root_);
  fs::create_directories(device_);
  setenv("VELD_ROOT", root_.c_str(), 1);
  setenv("VELD_DEVICE", device_.c_str(), 1);
}

TempRoot::~TempRoot() {
  std::error_code ec;
  fs::permissions(base_, fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(base_, ec);
  Restore("VELD_ROOT", saved_root_, had_root_);
  Restore("VELD_DEVICE", saved_device_, had_device_);
}

std::string ReadBytes(const std::string& host_path) {
  std::ifstream in(host_path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + host_path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& host_path, const std::string& bytes) {
  MakeParentFolders(host_path);
  std::ofstream out(host_path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + host_path);
}

bool FileExists(const std::string& host_path) { return fs::exists(host_path); }

void MakeParentFolders(const std::string& host_path) {
  const fs::path parent = fs::path(host_path).parent_path();
  if (!parent.empty()) fs::create_directories(parent);
}

}  // namespace veld::test
