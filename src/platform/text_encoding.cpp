#include "platform/text_encoding.h"

#include <cstdint>

namespace veld {

Utf8ToLatin1Result Utf8ToLatin1(std::string_view text, std::string& out) {
  std::string converted;
  converted.reserve(text.size());
  // Anything but a full conversion gives the text back as it was.
  const auto unchanged = [&](Utf8ToLatin1Result result) {
    out = std::string(text);
    return result;
  };
  bool beyond = false;
  for (size_t i = 0; i < text.size();) {
    const auto byte = [&](size_t at) { return static_cast<uint8_t>(text[at]); };
    const uint8_t lead = byte(i);
    size_t length = 1;
    uint32_t code = lead;
    if (lead >= 0x80) {
      if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1Fu;
      } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0Fu;
      } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07u;
      } else {
        return unchanged(Utf8ToLatin1Result::NotUtf8);
      }
      if (i + length > text.size()) return unchanged(Utf8ToLatin1Result::NotUtf8);
      for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0u) != 0x80u) return unchanged(Utf8ToLatin1Result::NotUtf8);
        code = code << 6 | (byte(i + k) & 0x3Fu);
      }
      // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
      const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
      if (code < smallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
        return unchanged(Utf8ToLatin1Result::NotUtf8);
      }
    }
    if (code > 0xFF) beyond = true;
    converted += static_cast<char>(code > 0xFF ? '?' : code);
    i += length;
  }
  if (beyond) return unchanged(Utf8ToLatin1Result::BeyondLatin1);
  out = std::move(converted);
  return Utf8ToLatin1Result::Converted;
}

std::string Latin1ToUtf8(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (const char c : text) {
    const auto code = static_cast<uint8_t>(c);
    if (code < 0x80) {
      utf8 += c;
    } else {
      utf8 += static_cast<char>(0xC0 | code >> 6);
      utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return utf8;
}

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<uint8_t>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace veld
