#include "platform/byte_stream.h"

#include <cstring>

#include "platform/file_error.h"

namespace veld {

ByteReader::ByteReader(std::string_view bytes, std::string path) : bytes_(bytes), path_(std::move(path)) {}

void ByteReader::Require(uint64_t n) const {
  if (n > Remaining()) throw FileError(FileError::Cause::EndOfFile, path_);
}

std::string_view ByteReader::Bytes(uint64_t n) {
  Require(n);
  const std::string_view view = bytes_.substr(offset_, static_cast<size_t>(n));
  offset_ += static_cast<size_t>(n);
  return view;
}

uint8_t ByteReader::U8() { return static_cast<uint8_t>(Bytes(1)[0]); }

uint16_t ByteReader::U16() {
  const std::string_view b = Bytes(2);
  return static_cast<uint16_t>(static_cast<uint8_t>(b[0]) | static_cast<uint8_t>(b[1]) << 8);
}

uint32_t ByteReader::U32() {
  const std::string_view b = Bytes(4);
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(b[i]);
  return value;
}

int32_t ByteReader::I32() { return static_cast<int32_t>(U32()); }

uint64_t ByteReader::U64() {
  const std::string_view b = Bytes(8);
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(b[i]);
  return value;
}

double ByteReader::F64() {
  const uint64_t bits = U64();
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void ByteWriter::U16(uint16_t value) {
  U8(static_cast<uint8_t>(value));
  U8(static_cast<uint8_t>(value >> 8));
}

void ByteWriter::U32(uint32_t value) {
  for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(value >> (8 * i)));
}

void ByteWriter::U64(uint64_t value) {
  for (int i = 0; i < 8; ++i) U8(static_cast<uint8_t>(value >> (8 * i)));
}

void ByteWriter::F64(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  U64(bits);
}

}  // namespace veld
