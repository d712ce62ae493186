#include "records/fixed_string.h"

#include <algorithm>

#include "platform/file_error.h"

namespace veld {
namespace {

struct StringPrefix {
  uint64_t count = 0;
  bool wide = false;
};

// The length prefix of the framework's archive string encoding.
StringPrefix ReadPrefix(ByteReader& in) {
  StringPrefix prefix;
  uint8_t byte_count = in.U8();
  if (byte_count < 0xFF) {
    prefix.count = byte_count;
    return prefix;
  }
  uint16_t word_count = in.U16();
  if (word_count == 0xFFFE) {
    prefix.wide = true;
    byte_count = in.U8();
    if (byte_count < 0xFF) {
      prefix.count = byte_count;
      return prefix;
    }
    word_count = in.U16();
  }
  if (word_count < 0xFFFF) {
    prefix.count = word_count;
    return prefix;
  }
  const uint32_t dword_count = in.U32();
  prefix.count = dword_count < 0xFFFFFFFFu ? dword_count : in.U64();
  return prefix;
}

}  // namespace

void WriteFixedString(ByteWriter& out, const std::string& text, int width) {
  out.U8(0xFF);
  out.U16(0xFFFE);
  out.U8(static_cast<uint8_t>(width));
  const size_t used = std::min(text.size(), static_cast<size_t>(width));
  for (size_t i = 0; i < used; ++i) out.U16(static_cast<uint8_t>(text[i]));
  for (size_t i = used; i < static_cast<size_t>(width); ++i) out.U16(0);
}

std::string ReadArchiveString(ByteReader& in) {
  const StringPrefix prefix = ReadPrefix(in);
  if (!prefix.wide) return std::string(in.Bytes(prefix.count));
  // Checked before multiplying: a count of 2^63 or more must not wrap around.
  if (prefix.count > in.Remaining() / 2) throw FileError(FileError::Cause::EndOfFile, in.path());
  const std::string_view units = in.Bytes(prefix.count * 2);
  std::string text(static_cast<size_t>(prefix.count), '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned value = static_cast<uint8_t>(units[2 * i]) | static_cast<uint8_t>(units[2 * i + 1]) << 8;
    text[i] = value <= 0xFF ? static_cast<char>(value) : '?';
  }
  return text;
}

std::string TrimString(const std::string& text) {
  const auto end = std::find_if(text.begin(), text.end(), [](char c) {
    const auto code = static_cast<unsigned char>(c);
    return code == 0 || code > 127;
  });
  return std::string(text.begin(), end);
}

std::string CutAtNul(const std::string& text) { return text.substr(0, text.find('\0')); }

}  // namespace veld
