#include "records/system_data_table.h"

#include <algorithm>
#include <cerrno>
#include <utility>

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

SystemDataTable::SystemDataTable(Prompter& prompter) : prompter_(prompter) { SetDevice(DatabaseSide::PC); }

void SystemDataTable::SetDevice(DatabaseSide side) { table_path_ = layout::SettingsTable(side); }

void SystemDataTable::Open() {
  const std::string host = HostPath(table_path_);
  std::optional<FileBytes> bytes;
  try {
    bytes = BinaryFile::ReadWholeFileForChange(host);
  } catch (const FileError& error) {
    if (error.cause() != FileError::Cause::NotFound) throw;
  }
  if (bytes && bytes->size() % kRecordSize != 0) {
    prompter_.Message(kCorruptedMessage + host);
    return;
  }
  // A missing table is created with every default at once, never left empty in between.
  AddMissingDefaults(host, bytes ? bytes->view() : std::string_view());
}

void SystemDataTable::FillDefaults() {
  const std::string host = HostPath(table_path_);
  // Adds to the table that is there; Open is what creates one.
  AddMissingDefaults(host, BinaryFile::ReadWholeFileForChange(host));
}

void SystemDataTable::AddMissingDefaults(const std::string& host, std::string_view bytes) {
  // One read of the table answers every key; the missing ones are then written in one
  // go, with the same result as asking and setting them one at a time.
  const Scan scan = ScanRecords(bytes, host);
  std::string image(bytes.substr(0, scan.whole_records * kRecordSize));
  bool changed = image.size() != bytes.size();
  for (const Default& setting : Defaults()) {
    const auto found = FindKey(scan, setting.key);
    if (found && scan.settings[*found].value != kMissing) continue;
    const std::string record = EncodeRecord(setting.key, setting.value);
    if (found) {
      image.replace(*found * kRecordSize, kRecordSize, record);  // a setting stored as "NULL"
    } else {
      image += record;
    }
    changed = true;
  }
  if (changed) BinaryFile::ReplaceWholeFile(host, image);
}

void SystemDataTable::GetSetting(const std::string& key, std::string& value) {
  value = kMissing;
  const std::string host = HostPath(table_path_);
  const FileBytes bytes = ReadIfPresent(host);
  const Scan scan = ScanRecords(bytes, host);
  const auto found = FindKey(scan, key);
  if (!found) return;
  value = scan.settings[*found].value;
}

void SystemDataTable::SetSetting(const std::string& key, const std::string& value) { SetSettings({{key, value}}); }

void SystemDataTable::SetSettings(const std::vector<std::pair<std::string, std::string>>& settings) {
  for (const auto& [key, value] : settings) {
    if (!CheckStorable(key, value)) return;
  }
  const std::string host = HostPath(table_path_);
  const FileBytes bytes = BinaryFile::ReadWholeFileForChange(host);  // never creates the table
  const Scan scan = ScanRecords(bytes, host);
  // Stray bytes after the last whole record are dropped; a new record goes right after it.
  std::string image(bytes.view().substr(0, scan.whole_records * kRecordSize));
  std::vector<std::string> appended;
  for (const auto& [key, value] : settings) {
    std::optional<size_t> slot = FindKey(scan, key);
    if (!slot) {
      const auto added = std::find(appended.begin(), appended.end(), key);
      if (added != appended.end()) slot = scan.whole_records + static_cast<size_t>(added - appended.begin());
    }
    const std::string record = EncodeRecord(key, value);
    if (slot) {
      image.replace(*slot * kRecordSize, kRecordSize, record);
    } else {
      image += record;
      appended.push_back(key);
    }
  }
  BinaryFile::ReplaceWholeFile(host, image);
}

std::vector<SystemDataTable::Setting> SystemDataTable::ListSettings() const {
  const std::string host = HostPath(table_path_);
  Scan scan = ScanRecords(BinaryFile::ReadWholeFile(host), host);
  if (scan.malformed) throw *scan.malformed;
  return std::move(scan.settings);
}

FileBytes SystemDataTable::ReadIfPresent(const std::string& host) {
  BinaryFile file;
  if (file.TryOpen(host, BinaryFile::Mode::Read)) return file.ReadAll();
  // Only a table that is not there reads as empty: one that fails to open must not look
  // like a table without settings, which would unlock a locked system or restart a count.
  if (errno != ENOENT && errno != ENOTDIR) throw FileErrorFromErrno(errno, host);
  return {};
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
