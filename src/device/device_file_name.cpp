#include "device/device_file_name.h"

#include <algorithm>
#include <string_view>

namespace veld {
namespace {

std::u16string_view Bounded(const rapi::WCHAR* name, size_t capacity) {
  size_t length = 0;
  while (length < capacity && name[length] != 0) ++length;
  return {name, length};
}

bool IsForbiddenCharacter(unsigned char c) {
  return c < 0x20 || std::string_view("<>:\"|?*/\\").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

std::u16string WidePath(const std::string& path) {
  std::u16string wide;
  wide.reserve(path.size());
  for (char c : path) wide += static_cast<char16_t>(static_cast<unsigned char>(c));
  return wide;
}

bool NarrowName(const rapi::WCHAR* name, size_t capacity, std::string& narrow) {
  narrow.clear();
  for (char16_t c : Bounded(name, capacity)) {
    if (c > 0xFF) return false;
    narrow += static_cast<char>(c);
  }
  return true;
}

std::string PrintableName(const rapi::WCHAR* name, size_t capacity) {
  std::string printable;
  for (char16_t c : Bounded(name, capacity)) printable += c < 0x20 || c > 0xFF ? '?' : static_cast<char>(c);
  return printable;
}

bool IsSafeFileName(const std::string& name) {
  if (name.empty() || name == "." || name.find("..") != std::string::npos) return false;
  return std::none_of(name.begin(), name.end(),
                      [](char c) { return IsForbiddenCharacter(static_cast<unsigned char>(c)); });
}

}  // namespace veld
