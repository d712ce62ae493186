#include "fuzz_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "platform/binary_file.h"

namespace veld::fuzz {
namespace fs = std::filesystem;

ScratchRoot::ScratchRoot() {
  for (const char* side : {"PC", "VELD"}) {
    for (const char* folder : {"UUT", "TestProfile", "System", "TestResults"}) {
      fs::create_directories(root() + "/VELD/" + side + "/" + folder);
    }
  }
}

const ScratchRoot& ProcessRoot() {
  static const ScratchRoot root;
  return root;
}

void WriteFile(const std::string& host_path, std::string_view bytes) {
  BinaryFile file(host_path, BinaryFile::Mode::Create);
  file.Write(bytes.data(), bytes.size());
}

void RemoveFile(const std::string& host_path) {
  std::error_code ignored;
  fs::remove(host_path, ignored);
}

uint64_t FileLength(const std::string& host_path) {
  std::error_code ec;
  const auto length = fs::file_size(host_path, ec);
  return ec ? 0 : length;
}

bool FileExists(const std::string& host_path) {
  std::error_code ec;
  return fs::exists(host_path, ec);
}

void Require(bool condition, const char* promise) {
  if (condition) return;
  std::fprintf(stderr, "broken promise: %s\n", promise);
  std::abort();
}

ProfileInput SplitProfileInput(std::string_view input) {
  if (input.size() < 2) return {input.substr(0, 0), {}};
  const size_t claimed = static_cast<uint8_t>(input[0]) | static_cast<size_t>(static_cast<uint8_t>(input[1])) << 8;
  const std::string_view rest = input.substr(2);
  const size_t table = std::min(claimed, rest.size());
  return {rest.substr(0, table), rest.substr(table)};
}

std::string JoinProfileInput(std::string_view table, std::string_view custom) {
  if (table.size() > 0xFFFF) throw std::length_error("a profile table seed of more than 65535 bytes");
  std::string input;
  input.push_back(static_cast<char>(table.size() & 0xFF));
  input.push_back(static_cast<char>(table.size() >> 8));
  input.append(table);
  input.append(custom);
  return input;
}

}  // namespace veld::fuzz
