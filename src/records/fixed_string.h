#pragma once
// The text encoding of every table file that the calibrator shares: a length-prefixed
// string with a marker for 16-bit characters. Writers always produce the fixed-width
// form; readers accept every form of the encoding.
//
// Fixed-width form of width w (4 + 2w bytes): FF, FE FF, w, then w 16-bit little-endian
// code units, one per 8-bit character (low byte = the character), padded with 0x0000.

#include <string>
#include <string_view>

#include "platform/byte_stream.h"

namespace veld {

// Writes text as a fixed-width field. Text longer than width is cut to width so that a
// record never changes size; callers that must not lose characters refuse such text first.
// Widths of 255 and more (never used by the calibrator's files) take the 16- or 32-bit count
// after FF FE FF FF instead of the one-byte width, so that they still read back.
void WriteFixedString(ByteWriter& out, const std::string& text, int width);

// Reads one length-prefixed string in any of its forms: a one-byte count of 8-bit
// characters; FF then FFFE (16-bit characters follow and the count starts again);
// FF then a 16-bit count; FFFF then a 32-bit count; FFFFFFFF then a 64-bit count.
// A count larger than the bytes that remain is an end-of-file FileError; nothing is
// allocated for it. 16-bit characters above 255 become '?' (no 8-bit equivalent).
std::string ReadArchiveString(ByteReader& in);

// The bytes of one length-prefixed string, checked and passed over exactly as
// ReadArchiveString does, without building the text: its 8-bit characters, or its 16-bit
// units (two bytes each) when wide. For scans that need only a few fields of a record.
struct ArchiveStringBytes {
  std::string_view bytes;
  bool wide = false;
};
ArchiveStringBytes ReadArchiveStringBytes(ByteReader& in);

// CutAtNul(ReadArchiveString(in)), without the text beyond the NUL.
std::string ReadArchiveStringToNul(ByteReader& in);

// The text up to, not including, its first character whose 8-bit code is 0 or above 127.
std::string TrimString(const std::string& text);

// The text up to, not including, its first NUL character.
std::string CutAtNul(const std::string& text);

}  // namespace veld
