#include "records/uut_table.h"

#include <array>
#include <optional>
#include <unordered_map>

#include "platform/binary_file.h"
#include "platform/byte_stream.h"
#include "platform/file_error.h"
#include "platform/host_path.h"
#include "records/fixed_string.h"
#include "records/uut_limits.h"
#include "units/pressure_units.h"
#include "units/smart_part_configurator.h"

namespace veld {
namespace {

constexpr const char* kCorruptedText = "UUT table corrupted!!\r\n";
constexpr const char* kLoadErrorText = "Table error:  CUUTTable::LoadRecord";
constexpr const char* kIdTooLongText = "UUT ID is longer than 32 characters.  The profile was not saved.";
constexpr const char* kIdHasNulText = "UUT ID contains a NUL character.  The profile was not saved.";

// The part numbers whose decoded settings make the two records of a new table.
constexpr const char* kBuiltInPartNumbers[] = {"7395R25WB2DQ8C", "73950R5WB2DQ8C"};

// How a field is coded and where its value lives in a UUT.
enum class FieldKind {
  Number,        // double as stored
  Pressure,      // double, Pa in the file, inches of water column in memory
  SettlingTime,  // int32
  DueDate,       // int32 status, then the double date
  OutputType,    // trimmed text, read back through SetOutputType
  TrimmedText,   // text cut at its first NUL or non-ASCII character
  Text,          // text cut at its first NUL
  Reserved,      // text the desktop never interprets: kept as raw bytes
};

struct FieldLayout {
  size_t offset;
  FieldKind kind;
  int width = 0;  // characters, for text fields
  double UUT::*number = nullptr;
  std::string UUT::*text = nullptr;
};

constexpr size_t FieldSize(const FieldLayout& field) {
  switch (field.kind) {
    case FieldKind::Number:
    case FieldKind::Pressure: return 8;
    case FieldKind::SettlingTime: return 4;
    case FieldKind::DueDate: return 12;
    default: return 4 + 2 * static_cast<size_t>(field.width);
  }
}

constexpr FieldLayout Num(size_t offset, double UUT::*member) { return {offset, FieldKind::Number, 0, member}; }
constexpr FieldLayout Pa(size_t offset, double UUT::*member) { return {offset, FieldKind::Pressure, 0, member}; }
constexpr FieldLayout Txt(size_t offset, FieldKind kind, int width, std::string UUT::*member) {
  return {offset, kind, width, nullptr, member};
}
constexpr FieldLayout Reserved(size_t offset) { return {offset, FieldKind::Reserved, 8}; }

// The 568-byte record in file order. The old 276-byte record is its first 15 fields.
constexpr FieldLayout kRecordLayout[] = {
    Num(0, &UUT::Excitation),
    Txt(8, FieldKind::OutputType, 8, &UUT::OutputType),
    {28, FieldKind::SettlingTime},
    Pa(32, &UUT::ControlStability),
    Num(40, &UUT::Accuracy),
    Pa(48, &UUT::MaxLeakRate),
    Txt(56, FieldKind::TrimmedText, 32, &UUT::DefaultTestProfile),
    {124, FieldKind::DueDate},
    Txt(136, FieldKind::Text, 32, &UUT::ID),
    Txt(204, FieldKind::TrimmedText, 8, &UUT::OutputUnits),
    Txt(224, FieldKind::TrimmedText, 8, &UUT::InputUnits),
    Num(244, &UUT::OutputSpan),
    Num(252, &UUT::OutputOffset),
    Pa(260, &UUT::InputSpan),
    Pa(268, &UUT::InputOffset),
    Num(276, &UUT::ReCalAccuracy),
    Num(284, &UUT::SystemVolume),
    Txt(292, FieldKind::Text, 32, &UUT::SerialNumber),
    Txt(360, FieldKind::Text, 16, &UUT::PartNumber),
    Txt(396, FieldKind::Text, 8, &UUT::Model),
    Txt(416, FieldKind::Text, 24, &UUT::Manufacturer),
    Reserved(468),
    Reserved(488),
    Reserved(508),
    Reserved(528),
    Reserved(548),
};

// Each field starts where the one before it ends, and the whole ends at end.
constexpr bool LayoutIsContiguous(size_t end) {
  size_t at = 0;
  for (const FieldLayout& field : kRecordLayout) {
    if (field.offset != at) return false;
    at += FieldSize(field);
  }
  return at == end;
}
static_assert(LayoutIsContiguous(CUUTTable::kRecordSize));
static_assert(kRecordLayout[15].offset == CUUTTable::kOldRecordSize, "old records end before ReCalAccuracy");
constexpr size_t kIdField = 8;
static_assert(kRecordLayout[kIdField].offset == 136 && kRecordLayout[kIdField].kind == FieldKind::Text);
static_assert(kRecordLayout[kIdField].width == CUUTTable::kIdWidth, "IDs are checked against their field");
constexpr bool WidthIs(size_t field, size_t width) { return static_cast<size_t>(kRecordLayout[field].width) == width; }
static_assert(WidthIs(kIdField, kUUTIdWidth) && WidthIs(1, kOutputTypeWidth) && WidthIs(6, kDefaultTestProfileWidth) &&
                  WidthIs(9, kUnitsWidth) && WidthIs(10, kUnitsWidth) && WidthIs(17, kSerialNumberWidth) &&
                  WidthIs(18, kPartNumberWidth) && WidthIs(19, kModelWidth) && WidthIs(20, kManufacturerWidth),
              "the widths that entry checks use are the record's own");

std::string DecodeText(const FieldLayout& field, ByteReader& in) {
  const std::string text = ReadArchiveString(in);
  return field.kind == FieldKind::Text ? CutAtNul(text) : TrimString(text);
}

// Reads the fields that record holds (all 568 bytes, or the 276 of an old record) into
// uut. Each field is parsed within its own bytes, so a bad count never shifts the others.
void ReadRecordInto(std::string_view record, const std::string& path, UUT& uut) {
  for (const FieldLayout& field : kRecordLayout) {
    const size_t size = FieldSize(field);
    if (field.offset + size > record.size()) break;
    ByteReader in(record.substr(field.offset, size), path);
    switch (field.kind) {
      case FieldKind::Number: uut.*field.number = in.F64(); break;
      case FieldKind::Pressure: uut.*field.number = in.F64() / kPascalsPerInchWater; break;
      case FieldKind::SettlingTime: uut.SettlingTime = in.I32(); break;
      case FieldKind::DueDate: {
        const auto status = static_cast<OleDateTime::Status>(in.I32());
        uut.CalibrationDueDate = OleDateTime(in.F64(), status);
        break;
      }
      case FieldKind::OutputType: uut.SetOutputType(DecodeText(field, in)); break;
      case FieldKind::TrimmedText:
      case FieldKind::Text: uut.*field.text = DecodeText(field, in); break;
      case FieldKind::Reserved: break;
    }
  }
}

// One 568-byte record from uut. The reserved fields are copied raw from keep_reserved_of
// (the record being replaced) or, when that is empty, written empty.
std::string EncodeRecord(const UUT& uut, std::string_view keep_reserved_of) {
  ByteWriter out;
  for (const FieldLayout& field : kRecordLayout) {
    switch (field.kind) {
      case FieldKind::Number: out.F64(uut.*field.number); break;
      case FieldKind::Pressure: out.F64(uut.*field.number * kPascalsPerInchWater); break;
      case FieldKind::SettlingTime: out.I32(uut.SettlingTime); break;
      case FieldKind::DueDate:
        out.I32(uut.CalibrationDueDate.GetStatus());
        out.F64(uut.CalibrationDueDate.Value());
        break;
      case FieldKind::OutputType:
      case FieldKind::TrimmedText:
      case FieldKind::Text: WriteFixedString(out, uut.*field.text, field.width); break;
      case FieldKind::Reserved:
        if (keep_reserved_of.empty()) {
          WriteFixedString(out, std::string(), field.width);
        } else {
          out.Bytes(keep_reserved_of.substr(field.offset, FieldSize(field)));
        }
        break;
    }
  }
  return out.Take();
}

std::string_view RecordAt(std::string_view bytes, size_t index, size_t size = CUUTTable::kRecordSize) {
  return bytes.substr(index * size, size);
}

constexpr bool IsTextField(const FieldLayout& field) {
  return field.kind == FieldKind::OutputType || field.kind == FieldKind::TrimmedText || field.kind == FieldKind::Text;
}

struct TextFieldSpan {
  size_t offset;
  size_t size;
  // The four prefix bytes that the writers give the field, FF FE FF and its width, as one
  // little-endian word.
  uint32_t written_head;
};

// Where the text fields of a record lie, in file order.
constexpr size_t kTextFieldCount = [] {
  size_t count = 0;
  for (const FieldLayout& field : kRecordLayout) count += IsTextField(field) ? 1 : 0;
  return count;
}();
constexpr std::array<TextFieldSpan, kTextFieldCount> kTextFields = [] {
  std::array<TextFieldSpan, kTextFieldCount> spans{};
  size_t next = 0;
  for (const FieldLayout& field : kRecordLayout) {
    if (IsTextField(field)) {
      spans[next++] = {field.offset, FieldSize(field), 0x00FFFEFFu | static_cast<uint32_t>(field.width) << 24};
    }
  }
  return spans;
}();

// Four bytes as one little-endian word.
uint32_t WordAt(const char* at) {
  const auto byte = [&](int i) { return static_cast<uint32_t>(static_cast<uint8_t>(at[i])); };
  return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

// The number of characters of the form every writer produces (FF FE FF w, then w 16-bit
// units that fit in the field); nothing for any other form.
std::optional<size_t> FixedWidthUnits(std::string_view bytes) {
  if (bytes.size() < 4) return std::nullopt;
  const uint32_t head = WordAt(bytes.data());  // FF FE FF w reads as 0xwwFFFEFF
  const size_t units = head >> 24;
  if ((head & 0x00FFFFFFu) != 0x00FFFEFFu || units == 0xFF || 4 + 2 * units > bytes.size()) return std::nullopt;
  return units;
}

// The 8-bit character of unit i of a fixed-width field ('?' for a unit above 255).
char FixedWidthCharacter(std::string_view bytes, size_t i) {
  const unsigned value = static_cast<uint8_t>(bytes[4 + 2 * i]) | static_cast<uint8_t>(bytes[5 + 2 * i]) << 8;
  return value <= 0xFF ? static_cast<char>(value) : '?';
}

// Raises what ReadRecordInto raises for a record, without decoding it: within a record of
// whole length only the count of a text field can run past its field.
void CheckTextFields(std::string_view record, const std::string& path) {
  if (record.size() == CUUTTable::kRecordSize) {
    // Nearly every record holds each text in the writers' form at its own width, which
    // always fits: one test of all the prefixes together settles it.
    uint32_t differs = 0;
    for (const TextFieldSpan& field : kTextFields) differs |= WordAt(record.data() + field.offset) ^ field.written_head;
    if (differs == 0) return;
  }
  for (const TextFieldSpan& field : kTextFields) {
    if (field.offset + field.size > record.size()) break;
    const std::string_view bytes = record.substr(field.offset, field.size);
    if (FixedWidthUnits(bytes)) continue;
    ByteReader in(bytes, path);
    ReadArchiveStringBytes(in);
  }
}

std::string_view IdField(std::string_view record) {
  const FieldLayout& field = kRecordLayout[kIdField];
  return record.substr(field.offset, FieldSize(field));
}

// The ID of a record already checked by CheckTextFields, as ReadRecordInto reads it.
std::string RecordId(std::string_view record) {
  const std::string_view bytes = IdField(record);
  if (const std::optional<size_t> units = FixedWidthUnits(bytes)) {
    // The common form, decoded in place: one character per unit, up to the first NUL.
    char text[0xFF];
    size_t length = 0;
    while (length < *units && (text[length] = FixedWidthCharacter(bytes, length)) != '\0') ++length;
    return std::string(text, length);
  }
  ByteReader in(bytes, std::string());
  return ReadArchiveStringToNul(in);
}

// RecordId(record) == id, compared in place for the common form.
bool RecordIdEquals(std::string_view record, const std::string& id) {
  const std::string_view bytes = IdField(record);
  const std::optional<size_t> units = FixedWidthUnits(bytes);
  if (!units) return RecordId(record) == id;
  size_t i = 0;
  for (; i < *units; ++i) {
    const char c = FixedWidthCharacter(bytes, i);
    if (c == '\0') break;
    if (i >= id.size() || c != id[i]) return false;
  }
  return i == id.size();
}

// Index of the first whole record whose ID equals id. Every record passed over is checked
// as a full parse would check it, so a damaged record before the match stops the
// operation; only the ID is decoded, since a scan must cost little more than the read.
std::optional<size_t> FindRecord(std::string_view bytes, const std::string& id, const std::string& path) {
  const size_t count = bytes.size() / CUUTTable::kRecordSize;
  for (size_t i = 0; i < count; ++i) {
    const std::string_view record = RecordAt(bytes, i);
    CheckTextFields(record, path);
    if (RecordIdEquals(record, id)) return i;
  }
  return std::nullopt;
}

// The converted records of an old table, one per distinct ID, a later record replacing
// an earlier one with the same ID in its place. Empty when an ID is too long to store.
std::optional<std::string> ConvertOldRecords(std::string_view old_bytes, const std::string& path) {
  const size_t count = old_bytes.size() / CUUTTable::kOldRecordSize;
  std::vector<std::string> records;
  std::unordered_map<std::string, size_t> index_of_id;
  UUT uut;
  for (size_t i = 0; i < count; ++i) {
    ReadRecordInto(RecordAt(old_bytes, i, CUUTTable::kOldRecordSize), path, uut);
    uut.ReCalAccuracy = 0.5;
    uut.SystemVolume = 64.0;
    uut.SerialNumber.clear();
    uut.PartNumber.clear();
    uut.Model.clear();
    uut.Manufacturer.clear();
    if (uut.ID.size() > CUUTTable::kIdWidth) return std::nullopt;
    std::string record = EncodeRecord(uut, {});
    const auto [at, added] = index_of_id.try_emplace(uut.ID, records.size());
    if (added) {
      records.push_back(std::move(record));
    } else {
      records[at->second] = std::move(record);
    }
  }
  std::string table;
  table.reserve(records.size() * CUUTTable::kRecordSize);
  for (const std::string& record : records) table += record;
  return table;
}

}  // namespace

CUUTTable::CUUTTable(Prompter& prompter) : prompter_(prompter) { SetDevice(DatabaseSide::PC); }

void CUUTTable::SetDevice(DatabaseSide side) {
  table_path_ = layout::UUTTable(side);
  backup_path_ = layout::UUTTableBackup(side);
}

void CUUTTable::ReportCorrupted(const std::string& host_path) { prompter_.Message(kCorruptedText + host_path); }

std::optional<FileBytes> CUUTTable::ReadRecordsForChange(const std::string& host_path) {
  FileBytes bytes = BinaryFile::ReadWholeFileForChange(host_path);
  if (bytes.size() % kRecordSize != 0) {
    ReportCorrupted(host_path);
    return std::nullopt;
  }
  return bytes;
}

void CUUTTable::Open() {
  const std::string host = HostPath(table_path_);
  // Only a table that is not there is created: one that exists but cannot be read must
  // raise its error rather than be emptied.
  if (BinaryFile::Exists(host)) {
    ConvertOldTable();
  } else {
    CreateWithBuiltIns(host);
  }
}

void CUUTTable::CreateWithBuiltIns(const std::string& host_path) const {
  SmartPartConfigurator decoder;
  UUT uut;
  std::string records;
  for (const char* part_number : kBuiltInPartNumbers) {
    std::string text = part_number;
    decoder.Configure(text, uut);
    records += EncodeRecord(uut, {});
  }
  BinaryFile::ReplaceWholeFile(host_path, records);
}

void CUUTTable::ConvertOldTable() {
  const std::string host = HostPath(table_path_);
  const FileBytes bytes = BinaryFile::ReadWholeFile(host);
  if (bytes.size() % kRecordSize == 0) return;
  if (bytes.size() % kOldRecordSize != 0) {
    ReportCorrupted(host);
    return;
  }
  // Everything is decoded before the file is touched: a damaged old table stays as it is.
  const std::optional<std::string> converted = ConvertOldRecords(bytes, host);
  if (!converted) {
    ReportCorrupted(host);
    return;
  }
  // The old table is kept before the new one replaces it: a crash in between leaves the
  // old table, which the next run converts again.
  KeepBackup(bytes);
  BinaryFile::ReplaceWholeFile(host, *converted);
}

std::string CUUTTable::LogicalBackupPath(int number) const {
  if (number <= 1) return backup_path_;
  const size_t extension = backup_path_.rfind('.');
  return backup_path_.substr(0, extension) + "_" + std::to_string(number) + backup_path_.substr(extension);
}

void CUUTTable::KeepBackup(std::string_view old_table) const {
  for (int number = 1;; ++number) {
    const std::string host = HostPath(LogicalBackupPath(number));
    if (!BinaryFile::Exists(host)) {
      BinaryFile::ReplaceWholeFile(host, old_table);
      return;
    }
    // The calibrator's table comes back with every connect: once kept, it is not kept again.
    if (BinaryFile::ReadWholeFile(host).view() == old_table) return;
  }
}

void CUUTTable::LoadRecord(UUT& uut) {
  const std::string host = HostPath(table_path_);
  const FileBytes bytes = BinaryFile::ReadWholeFile(host);
  if (bytes.size() % kRecordSize != 0) prompter_.Message(kLoadErrorText);
  if (const auto index = FindRecord(bytes, uut.ID, host)) {
    ReadRecordInto(RecordAt(bytes, *index), host, uut);
  }
}

const char* CUUTTable::IdProblem(const std::string& id) {
  if (id.size() > kIdWidth) return kIdTooLongText;
  if (id.find('\0') != std::string::npos) return kIdHasNulText;
  return nullptr;
}

bool CUUTTable::IdFits(const UUT& uut) {
  const char* problem = IdProblem(uut.ID);
  if (problem != nullptr) prompter_.Message(problem);
  return problem == nullptr;
}

bool CUUTTable::SaveRecord(const UUT& uut) {
  if (!IdFits(uut)) return false;
  const std::string host = HostPath(table_path_);
  const std::optional<FileBytes> read = ReadRecordsForChange(host);
  if (!read) return false;
  const FileBytes& bytes = *read;
  const auto index = FindRecord(bytes, uut.ID, host);
  const std::string record = EncodeRecord(uut, index ? RecordAt(bytes, *index) : std::string_view());
  std::string table(bytes.view());
  if (index) {
    table.replace(*index * kRecordSize, kRecordSize, record);
  } else {
    table += record;
  }
  BinaryFile::ReplaceWholeFile(host, table);
  return true;
}

bool CUUTTable::DeleteRecord(const UUT& uut) {
  const std::string host = HostPath(table_path_);
  const std::optional<FileBytes> read = ReadRecordsForChange(host);
  if (!read) return false;
  const FileBytes& bytes = *read;
  const auto index = FindRecord(bytes, uut.ID, host);
  if (!index) return true;
  const size_t last = bytes.size() / kRecordSize - 1;
  std::string table(bytes.view().substr(0, last * kRecordSize));
  if (*index != last) table.replace(*index * kRecordSize, kRecordSize, RecordAt(bytes, last));
  BinaryFile::ReplaceWholeFile(host, table);
  return true;
}

std::vector<std::string> CUUTTable::ReadIds(std::string_view bytes, const std::string& host_path) const {
  const size_t count = bytes.size() / kRecordSize;
  std::vector<std::string> ids;
  ids.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const std::string_view record = RecordAt(bytes, i);
    CheckTextFields(record, host_path);
    ids.push_back(RecordId(record));
  }
  return ids;
}

void CUUTTable::FillList(ListTarget& list) {
  list.Clear();
  const std::string host = HostPath(table_path_);
  list.InsertAllAtTop(ReadIds(BinaryFile::ReadWholeFile(host), host));
}

std::vector<UUT> CUUTTable::ReadAllRecords() {
  const std::string host = HostPath(table_path_);
  const FileBytes bytes = BinaryFile::ReadWholeFile(host);
  const size_t count = bytes.size() / kRecordSize;
  std::vector<UUT> uuts(count);
  for (size_t i = 0; i < count; ++i) ReadRecordInto(RecordAt(bytes, i), host, uuts[i]);
  return uuts;
}

bool CUUTTable::SaveRecords(const std::vector<UUT>& uuts) {
  for (const UUT& uut : uuts) {
    if (!IdFits(uut)) return false;
  }
  const std::string host = HostPath(table_path_);
  const std::optional<FileBytes> read = ReadRecordsForChange(host);
  if (!read) return false;
  const FileBytes& bytes = *read;
  // The first record of each ID, as SaveRecord's search finds it.
  const std::vector<std::string> ids = ReadIds(bytes, host);
  std::unordered_map<std::string, size_t> first_index;
  first_index.reserve(ids.size());
  for (size_t i = 0; i < ids.size(); ++i) first_index.try_emplace(ids[i], i);

  // As one SaveRecord after another would: an ID met twice is stored once, the later wins.
  std::string table(bytes.view());
  for (const UUT& uut : uuts) {
    const auto found = first_index.find(uut.ID);
    if (found == first_index.end()) {
      first_index.emplace(uut.ID, table.size() / kRecordSize);
      table += EncodeRecord(uut, {});
    } else {
      const size_t at = found->second * kRecordSize;
      table.replace(at, kRecordSize, EncodeRecord(uut, std::string(RecordAt(table, found->second))));
    }
  }
  BinaryFile::ReplaceWholeFile(host, table);
  return true;
}

void CUUTTable::FillCombo(ListTarget& combo) {
  combo.Clear();
  const std::string host = HostPath(table_path_);
  for (const std::string& id : ReadIds(BinaryFile::ReadWholeFile(host), host)) combo.Append(id);
}

}  // namespace veld
