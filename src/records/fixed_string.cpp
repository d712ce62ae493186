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

// The 8-bit character of 16-bit unit i: those above 255 have none.
char UnitCharacter(std::string_view units, size_t i) {
  const unsigned value = static_cast<uint8_t>(units[2 * i]) | static_cast<uint8_t>(units[2 * i + 1]) << 8;
  return value <= 0xFF ? static_cast<char>(value) : '?';
}

}  // namespace

void WriteFixedString(ByteWriter& out, const std::string& text, int width) {
  const size_t units = static_cast<size_t>(std::max(width, 0));
  out.U8(0xFF);
  out.U16(0xFFFE);
  // A one-byte width of 255 would announce a 16-bit count: wider fields take the count
  // form that readers expect, so that every field reads back as written.
  if (units < 0xFF) {
    out.U8(static_cast<uint8_t>(units));
  } else {
    out.U8(0xFF);
    if (units < 0xFFFF) {
      out.U16(static_cast<uint16_t>(units));
    } else {
      out.U16(0xFFFF);
      out.U32(static_cast<uint32_t>(units));
    }
  }
  const size_t used = std::min(text.size(), units);
  for (size_t i = 0; i < used; ++i) out.U16(static_cast<uint8_t>(text[i]));
  for (size_t i = used; i < units; ++i) out.U16(0);
}

ArchiveStringBytes ReadArchiveStringBytes(ByteReader& in) {
  const StringPrefix prefix = ReadPrefix(in);
  if (!prefix.wide) return {in.Bytes(prefix.count), false};
  // Checked before multiplying: a count of 2^63 or more must not wrap around.
  if (prefix.count > in.Remaining() / 2) throw FileError(FileError::Cause::EndOfFile, in.path());
  return {in.Bytes(prefix.count * 2), true};
}

std::string ReadArchiveString(ByteReader& in) {
  const ArchiveStringBytes field = ReadArchiveStringBytes(in);
  if (!field.wide) return std::string(field.bytes);
  std::string text(field.bytes.size() / 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = UnitCharacter(field.bytes, i);
  return text;
}

std::string ReadArchiveStringToNul(ByteReader& in) {
  const ArchiveStringBytes field = ReadArchiveStringBytes(in);
  if (!field.wide) return std::string(field.bytes.substr(0, field.bytes.find('\0')));
  const size_t units = field.bytes.size() / 2;
  size_t length = 0;
  while (length < units && UnitCharacter(field.bytes, length) != '\0') ++length;
  std::string text(length, '\0');
  for (size_t i = 0; i < length; ++i) text[i] = UnitCharacter(field.bytes, i);
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
