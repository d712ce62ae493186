#include "records/system_data_table.h"

#include "platform/binary_file.h"
#include "platform/byte_stream.h"
#include "platform/host_path.h"
#include "records/fixed_string.h"

namespace veld {
namespace {

constexpr int kTextWidth = static_cast<int>(SystemDataTable::kMaxTextLength);

const char kMissing[] = "NULL";
const char kCorruptedMessage[] = "System data table corrupted!!\r\n";
const char kKeyTooLongMessage[] = "Setting key is longer than 32 characters.  The setting was not saved.";
const char kValueTooLongMessage[] = "Setting value is longer than 32 characters.  The setting was not saved.";
const char kKeyUnstorableMessage[] =
    "Setting key contains characters that cannot be stored.  The setting was not saved.";
const char kValueUnstorableMessage[] =
    "Setting value contains characters that cannot be stored.  The setting was not saved.";

}  // namespace

const std::vector<SystemDataTable::Default>& SystemDataTable::Defaults() {
  static const std::vector<Default> defaults = {
      {"UseTrendGraph_TestResults", "false"},
      {"UseTrendGraph_LeakTest", "false"},
      {"UseTrendGraph_WarmUp", "false"},
      {"Default UUT Accuracy", "1.000000000000000000000000000000"},
      {"Default UUT Max Leak Rate", "0.000100000000000000000000000000"},
      {"Default UUT Settle Time", "00000000000000000000000000005000"},
      {"Default UUT Control Stability", "0.000300000000000000000000000000"},
      {"Default UUT Excitation", "24VDC"},
      {"Default UUT Type", "CSOU"},
      {"UseWarning_Excitation", "true"},
      {"UseWarning_Miswire", "true"},
      {"EngUnits", "inWC"},
      {"EngUnitsConversionSpan", "1.000000000000000000000000000000"},
      {"LockedOut", "false"},
      {"LockDownEnable", "false"},
      {"", "false"},  // the calibrator's table carries a setting with an empty key
      {"21CFRCompliantMode", "false"},
      {"LockDownAttemptLimit", "00000000000000000000000000000003"},
      {"FailedPWAttemptCount", "00000000000000000000000000000000"},
      {"ManualPressureStep", "false"},
      {"ExtraDigitPressureResolution", "false"},
      {"UseWarning_TestResultsSave", "true"},
      {"Filter Count", "00000000000000000000000000000100"},
      {"PWExpirationtLimit", "00000000000000000000000000000180"},
      {"CommOff", "false"},
      {"Default582-DefaultAcc", "0.500000000000000000000000000000"},
      {"Default582-ReCalAcc", "0.150000000000000000000000000000"},
      {"Default582-SettleTime", "00000000000000000000000000005000"},
      {"Default582-TestProfile", "3pointtest"},
      {"Default582-CtrlStab", "0.000300000000000000000000000000"},
      {"Default582-MaxLeak", "0.000150000000000000000000000000"},
      {"Default582-UseReCalAcc", "true"},
      {"Default582-UseDefaults", "true"},
  };
  return defaults;
}

SystemDataTable::SystemDataTable(Prompter& prompter) : prompter_(prompter) { SetDevice(false); }

void SystemDataTable::SetDevice(bool device) {
  device_ = device;
  table_path_ = device ? "C:\\VELD\\VELD\\System\\SystemDataTable_PPCBK.dat" : "C:\\VELD\\PC\\System\\SystemDataTable.dat";
}

void SystemDataTable::Open() {
  const std::string host = HostPath(table_path_);
  uint64_t length = 0;
  bool created = false;
  try {
    length = BinaryFile(host, BinaryFile::Mode::ReadWrite).Length();
  } catch (const FileError& error) {
    // Only a missing table is created; one that exists but will not open read-write
    // (read-only, a folder) is reported rather than replaced.
    if (error.cause() != FileError::Cause::NotFound) throw;
    BinaryFile(host, BinaryFile::Mode::OpenOrCreate);
    created = true;
  }
  if (!created && length % kRecordSize != 0) {
    prompter_.Message(kCorruptedMessage + host);
    return;
  }
  FillDefaults();
}

void SystemDataTable::FillDefaults() {
  // One read of the table answers every key; the missing ones are then written in one
  // go, with the same result as asking and setting them one at a time.
  const std::string host = HostPath(table_path_);
  FileBytes bytes;
  if (BinaryFile file; file.TryOpen(host, BinaryFile::Mode::Read)) bytes = file.ReadAll();
  const Scan scan = ScanRecords(bytes, host);

  std::vector<std::pair<size_t, std::string>> replacements;  // settings stored as "NULL"
  std::string appended;
  for (const Default& setting : Defaults()) {
    const auto found = FindKey(scan, setting.key);
    if (found && scan.settings[*found].value != kMissing) continue;
    if (found) {
      replacements.emplace_back(*found, EncodeRecord(setting.key, setting.value));
    } else {
      appended += EncodeRecord(setting.key, setting.value);
    }
  }
  if (replacements.empty() && appended.empty()) return;

  BinaryFile file(host, BinaryFile::Mode::ReadWrite);
  for (const auto& [slot, record] : replacements) {
    file.Seek(slot * kRecordSize);
    file.Write(record);
  }
  file.Seek(scan.whole_records * kRecordSize);
  file.Write(appended);
  file.SetLength(scan.whole_records * kRecordSize + appended.size());
}

void SystemDataTable::GetSetting(const std::string& key, std::string& value) {
  value = kMissing;
  const std::string host = HostPath(table_path_);
  FileBytes bytes;
  {
    BinaryFile file;
    if (!file.TryOpen(host, BinaryFile::Mode::Read)) return;
    bytes = file.ReadAll();
  }
  const Scan scan = ScanRecords(bytes, host);
  const auto found = FindKey(scan, key);
  if (!found) return;
  key_buffer_ = scan.settings[*found].key;
  value_buffer_ = scan.settings[*found].value;
  value = value_buffer_;
}

void SystemDataTable::SetSetting(const std::string& key, const std::string& value) {
  if (!CheckStorable(key, value)) return;
  BinaryFile file(HostPath(table_path_), BinaryFile::Mode::ReadWrite);
  const FileBytes bytes = file.ReadAll();
  const Scan scan = ScanRecords(bytes, file.path());
  const size_t count = scan.whole_records;
  const auto found = FindKey(scan, key);
  // A new record goes right after the last whole record, so that stray bytes at the end
  // of a damaged table cannot push it out of line with the record grid.
  const size_t slot = found.value_or(count);
  file.Seek(slot * kRecordSize);
  file.Write(EncodeRecord(key, value));
  file.SetLength((found ? count : count + 1) * kRecordSize);
  key_buffer_ = key;
  value_buffer_ = value;
}

SystemDataTable::Scan SystemDataTable::ScanRecords(std::string_view bytes, const std::string& path) {
  Scan scan;
  scan.whole_records = bytes.size() / kRecordSize;
  for (size_t index = 0; index < scan.whole_records; ++index) {
    // Each record is read within its own 136 bytes: a malformed field can neither read
    // into the next record nor shift the positions of those after it.
    ByteReader in(bytes.substr(index * kRecordSize, kRecordSize), path);
    try {
      Setting setting;
      setting.key = CutAtNul(ReadArchiveString(in));
      setting.value = TrimString(ReadArchiveString(in));
      scan.settings.push_back(std::move(setting));
    } catch (const FileError& error) {
      scan.malformed = error;
      break;
    }
  }
  return scan;
}

std::optional<size_t> SystemDataTable::FindKey(const Scan& scan, const std::string& key) {
  for (size_t index = 0; index < scan.settings.size(); ++index) {
    if (scan.settings[index].key == key) return index;
  }
  if (scan.malformed) throw *scan.malformed;
  return std::nullopt;
}

std::string SystemDataTable::EncodeRecord(const std::string& key, const std::string& value) {
  ByteWriter out;
  WriteFixedString(out, key, kTextWidth);
  WriteFixedString(out, value, kTextWidth);
  return out.Take();
}

bool SystemDataTable::CheckStorable(const std::string& key, const std::string& value) {
  // A field holds 32 characters; a longer key cut to fit could land on another key's
  // record, and a cut value (a password, a limit) would silently change meaning. A key
  // is read up to its first NUL and a value up to its first NUL or code above 127, so
  // text with those would read back as something else.
  const char* problem = nullptr;
  if (key.size() > kMaxTextLength) {
    problem = kKeyTooLongMessage;
  } else if (value.size() > kMaxTextLength) {
    problem = kValueTooLongMessage;
  } else if (CutAtNul(key) != key) {
    problem = kKeyUnstorableMessage;
  } else if (TrimString(value) != value) {
    problem = kValueUnstorableMessage;
  }
  if (problem) prompter_.Message(problem);
  return problem == nullptr;
}

}  // namespace veld
