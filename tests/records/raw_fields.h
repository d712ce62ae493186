#pragma once
// Bytes of the calibrator's table records laid down here from the formats, apart from the
// program's own encoders, so that a slip in an encoder cannot hide behind the same slip in
// the test.

#include <cstring>
#include <string>
#include <vector>

namespace veld::test {

// A fixed-width text field: FF FE FF, the width, then that many 16-bit little-endian
// units of the text padded with zeros.
inline std::string FixedField(const std::string& text, int width) {
  std::string field = std::string("\xFF\xFE\xFF", 3) + static_cast<char>(width);
  for (size_t i = 0; i < static_cast<size_t>(width); ++i) field += {i < text.size() ? text[i] : '\0', '\0'};
  return field;
}

// Plain numbers in the hosts' byte order, which is little-endian, as the files hold them.
template <typename T>
std::string LittleEndian(const std::vector<T>& values) {
  std::string bytes(values.size() * sizeof(T), '\0');
  if (!values.empty()) std::memcpy(bytes.data(), values.data(), bytes.size());
  return bytes;
}

// A UUT table record of the given size, zero-filled (every text reads as a one-byte count
// of 0, so that it is valid) but for the ID at 136, a 32-character field.
struct RawRecord {
  explicit RawRecord(const std::string& id, size_t size = 568) : bytes(size, '\0') { Text(136, 32, id); }
  RawRecord& Put(size_t offset, const std::string& field) {
    bytes.replace(offset, field.size(), field);
    return *this;
  }
  RawRecord& Text(size_t offset, int width, const std::string& text) { return Put(offset, FixedField(text, width)); }
  std::string bytes;
};

}  // namespace veld::test
