#pragma once
// The program's texts are 8-bit Latin-1; files and terminals may bring UTF-8. Conversions
// between the two for the edges that meet it.

#include <string>
#include <string_view>

namespace veld {

enum class Utf8ToLatin1Result {
  Converted,     // well-formed UTF-8 whose every character is in Latin-1
  NotUtf8,       // not well-formed UTF-8 (the text is left as it was)
  BeyondLatin1,  // well-formed, but a character has no Latin-1 form
};

// Converts UTF-8 text to Latin-1 in out; out is the text unchanged unless Converted.
Utf8ToLatin1Result Utf8ToLatin1(std::string_view text, std::string& out);

std::string Latin1ToUtf8(std::string_view text);

// True when every byte is below 0x80.
bool IsAscii(std::string_view text);

}  // namespace veld
