// The length-prefixed text reader over arbitrary bytes: every prefix form, every count.
// Reads text after text as a record would, and checks that what was read fits in the bytes
// it came from and survives being written back as a fixed-width field. The readers that
// scans use in place of the full one (bytes only, text up to its NUL) run in step with it
// and must pass over the same bytes, fail in the same places and agree on the text.

#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "platform/byte_stream.h"
#include "records/fixed_string.h"

namespace veld::fuzz {
namespace {

void CheckRoundTrip(const std::string& text) {
  if (text.size() > 255) return;  // a fixed-width field holds at most 255 characters
  ByteWriter out;
  WriteFixedString(out, text, static_cast<int>(text.size()));
  const size_t prefix = text.size() < 255 ? 4 : 6;  // 255 takes the 16-bit count
  Require(out.bytes().size() == prefix + 2 * text.size(), "a fixed-width field is its prefix and 2w bytes");
  ByteReader in(out.bytes(), "round trip");
  Require(ReadArchiveString(in) == text, "a written field reads back as its text");
  Require(in.Remaining() == 0, "a written field is read to its end");
}

void CheckCuts(const std::string& text) {
  const std::string trimmed = TrimString(text);
  Require(text.compare(0, trimmed.size(), trimmed) == 0, "a trimmed text is a prefix of the text");
  for (const char c : trimmed) {
    const auto code = static_cast<unsigned char>(c);
    Require(code != 0 && code <= 127, "a trimmed text holds no NUL and no code above 127");
  }
  const std::string cut = CutAtNul(text);
  Require(cut.find('\0') == std::string::npos && text.compare(0, cut.size(), cut) == 0,
          "a text cut at its NUL is a NUL-free prefix");
}

}  // namespace
}  // namespace veld::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace veld;
  using namespace veld::fuzz;
  ByteReader in(AsBytes(data, size), "fuzz input");
  ByteReader bytes_in(AsBytes(data, size), "fuzz input");
  ByteReader nul_in(AsBytes(data, size), "fuzz input");
  // Every text takes at least its one-byte prefix, so this ends after at most size texts.
  while (in.Remaining() > 0) {
    const size_t before = in.Remaining();
    std::string text;
    const bool read = Attempt([&] { text = ReadArchiveString(in); });
    ArchiveStringBytes field;
    const bool read_bytes = Attempt([&] { field = ReadArchiveStringBytes(bytes_in); });
    std::string to_nul;
    const bool read_to_nul = Attempt([&] { to_nul = ReadArchiveStringToNul(nul_in); });
    Require(read == read_bytes && read == read_to_nul, "every reader fails on the same text");
    if (!read) break;
    Require(bytes_in.Offset() == in.Offset() && nul_in.Offset() == in.Offset(), "every reader passes the same bytes");
    Require(field.bytes.size() == (field.wide ? 2 : 1) * text.size(), "the bytes of a text hold its characters");
    Require(to_nul == CutAtNul(text), "the text up to its NUL is the full text cut at its NUL");
    const size_t used = before - in.Remaining();
    Require(used >= 1, "every text consumes its prefix");
    Require(text.size() < used, "a text is never longer than the bytes it came from");
    CheckRoundTrip(text);
    CheckCuts(text);
  }
  return 0;
}
