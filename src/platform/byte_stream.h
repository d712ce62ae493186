#pragma once
// Little-endian field codecs over memory. Files are read whole (one buffered read) and
// parsed from memory; every read is checked against the bytes that remain, so that a
// count taken from a file can never make a parser read or allocate past the file's end.

#include <cstdint>
#include <string>
#include <string_view>

namespace veld {

class ByteReader {
 public:
  // path names the file in the end-of-file error.
  ByteReader(std::string_view bytes, std::string path);

  size_t Remaining() const { return bytes_.size() - offset_; }
  size_t Offset() const { return offset_; }
  const std::string& path() const { return path_; }

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  int32_t I32();
  uint64_t U64();
  double F64();
  // The next n bytes; throws FileError(EndOfFile) when fewer remain.
  std::string_view Bytes(uint64_t n);
  void Skip(uint64_t n) { Bytes(n); }

 private:
  void Require(uint64_t n) const;
  std::string_view bytes_;
  size_t offset_ = 0;
  std::string path_;
};

class ByteWriter {
 public:
  void U8(uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
  void U16(uint16_t value);
  void U32(uint32_t value);
  void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
  void U64(uint64_t value);
  void F64(double value);
  void Bytes(std::string_view bytes) { bytes_.append(bytes); }

  const std::string& bytes() const { return bytes_; }
  std::string Take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

}  // namespace veld
