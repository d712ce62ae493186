#include "records/test_profile_table.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>
#include <utility>

#include "platform/binary_file.h"
#include "platform/byte_stream.h"
#include "platform/file_error.h"
#include "platform/host_path.h"
#include "records/fixed_string.h"

namespace veld {
namespace {

constexpr int kTextWidth = static_cast<int>(TestProfileTable::kMaxTextLength);
constexpr size_t kPointSize = 8;  // one little-endian double per custom point

const char kCorruptedMessage[] = "Test Profile table corrupted!!\r\n";
const char kWriteErrorMessage[] = "Error writing profile to database!";
const char kInvalidIdMessage[] = "Unable to save custom profile.  Invalid profile ID!";
const char kIdTooLongMessage[] = "Profile ID is longer than 32 characters.  The profile was not saved.";
const char kTypeTooLongMessage[] = "Profile type is longer than 32 characters.  The profile was not saved.";
const char kIdUnstorableMessage[] =
    "Profile ID contains characters that cannot be stored.  The profile was not saved.";
const char kTypeUnstorableMessage[] =
    "Profile type contains characters that cannot be stored.  The profile was not saved.";

struct StandardProfile {
  const char* id;
  int32_t points;
};

// The profiles that every new table receives, in file order.
constexpr StandardProfile kStandardProfiles[] = {
    {"3pointtest", 3}, {"5pointtest", 5}, {"6pointtest", 6}, {"7pointtest", 7}, {"11pointtest", 11}, {"21pointtest", 21},
};

// A text that reads back differently (cut at a NUL or a code above 127) would never be
// found again under its own name.
bool SurvivesTrim(const std::string& text) { return TrimString(text) == text; }

}  // namespace

TestProfileTable::TestProfileTable(Prompter& prompter) : prompter_(prompter) { SetDevice(DatabaseSide::PC); }

void TestProfileTable::SetDevice(DatabaseSide side) {
  side_ = side;
  table_path_ = layout::ProfileTable(side);
}

void TestProfileTable::Open() {
  const std::string host = HostPath(table_path_);
  uint64_t length = 0;
  try {
    length = BinaryFile(host, BinaryFile::Mode::Read).Length();
  } catch (const FileError& error) {
    // Only a missing table is created; one that exists but will not open must not be
    // emptied by a create.
    if (error.cause() != FileError::Cause::NotFound) throw;
    std::string bytes;
    for (const StandardProfile& standard : kStandardProfiles) {
      bytes += EncodeRecord({standard.id, "Ascending", standard.points, false});
    }
    BinaryFile::ReplaceWholeFile(host, bytes);
    return;
  }
  if (length % kRecordSize != 0) prompter_.Message(kCorruptedMessage + host);
}

void TestProfileTable::LoadRecord(TestProfile& profile) {
  const std::string host = HostPath(table_path_);
  const FileBytes table = BinaryFile::ReadWholeFile(host);
  if (const auto found = FindRecord(table, profile.ID, host)) {
    const Record record = DecodeRecord(table, *found, host);
    profile.ID = record.id;
    profile.ProfileType = record.type;
    profile.NumberOfPoints = record.points;
    profile.LeakTest = record.leak_test;
  }
  LoadCustomPoints(profile);
}

bool TestProfileTable::SaveRecord(const TestProfile& profile) {
  if (!CheckStorable(profile)) return false;
  const Record record = RecordOf(profile);
  const std::string host = HostPath(table_path_);
  const FileBytes table = BinaryFile::ReadWholeFileForChange(host);
  // A new record goes right after the last whole record, so that stray bytes at the end
  // of a damaged table cannot push it out of line with the record grid.
  const size_t at = FindRecord(table, profile.ID, host).value_or(table.size() / kRecordSize) * kRecordSize;
  std::string image(table.view());
  image.replace(at, std::min(kRecordSize, image.size() - at), EncodeRecord(record));
  // Whatever stray bytes remain beyond the last whole record are cut off, and said so.
  const bool cut = image.size() % kRecordSize != 0;
  image.resize(image.size() - image.size() % kRecordSize);
  BinaryFile::ReplaceWholeFile(host, image);
  if (cut) prompter_.Message(kWriteErrorMessage);
  try {
    // False after any message: a table that had to be cut back, a custom file not written.
    return SaveCustomPoints(profile) && !cut;
  } catch (const FileError&) {
    // Points that could not be written take the record back with them: the profile is
    // stored whole or not at all.
    RestoreTable(host, table);
    throw;
  }
}

void TestProfileTable::DeleteRecord(const TestProfile& profile) {
  const std::string host = HostPath(table_path_);
  const FileBytes table = BinaryFile::ReadWholeFileForChange(host);
  const size_t count = table.size() / kRecordSize;
  const auto found = FindRecord(table, profile.ID, host);
  // No record, no change: an orphaned custom file is left alone as well.
  if (!found) return;
  const size_t last = count - 1;
  std::string image(table.view().substr(0, last * kRecordSize));
  if (*found != last) {
    image.replace(*found * kRecordSize, kRecordSize, table.view().substr(last * kRecordSize, kRecordSize));
  }
  BinaryFile::ReplaceWholeFile(host, image);
  if (profile.ProfileType != "Custom") return;
  const auto custom = CustomHostPath(profile);
  std::error_code ec;
  // Never a folder or anything else that only happens to carry the name.
  if (!custom || !std::filesystem::is_regular_file(*custom, ec)) return;
  try {
    BinaryFile::Remove(*custom);
  } catch (const FileError&) {
    RestoreTable(host, table);  // a custom profile is deleted with its points or not at all
    throw;
  }
}

void TestProfileTable::FillList(ListTarget& list) {
  std::vector<std::string> ids = ReadIds();
  list.Clear();
  list.InsertAllAtTop(std::move(ids));
}

void TestProfileTable::FillCombo(ListTarget& combo) {
  const std::vector<std::string> ids = ReadIds();
  combo.Clear();
  for (const std::string& id : ids) combo.Append(id);
}

std::string TestProfileTable::CustomFilePath(const TestProfile& profile) const {
  return layout::CustomProfileFile(side_, profile.ID);
}

void TestProfileTable::LoadCustomPoints(TestProfile& profile) {
  if (profile.ProfileType != "Custom") return;
  // The count comes from a record and may be damaged: never allocate beyond a full profile.
  profile.GeneratePoints(std::clamp(profile.NumberOfPoints, int32_t{0}, TestProfile::kMaxPoints), true, "Custom");
  const auto host = CustomHostPath(profile);
  if (!host) throw FileError(FileError::Cause::NotFound, CustomFilePath(profile));
  const FileBytes bytes = BinaryFile::ReadWholeFile(*host);
  ByteReader in(bytes, *host);
  const size_t values = bytes.size() / kPointSize;
  // Every value is read, not just the record's count, because the count becomes the
  // file's count and the list must always hold that many points.
  if (profile.CustomPoints.size() < values) profile.CustomPoints.resize(values, 0.0);
  for (size_t k = 0; k < values; ++k) profile.CustomPoints[k] = in.F64();
  profile.NumberOfPoints = static_cast<int32_t>(std::min<size_t>(values, std::numeric_limits<int32_t>::max()));
}

bool TestProfileTable::SaveCustomPoints(const TestProfile& profile) {
  if (profile.ProfileType != "Custom") return true;
  // Points beyond the list count as 0.0, as a list grown by SetCustomPoint would hold
  // them; a wild count never makes the file longer than the list or a full profile.
  const size_t wanted = static_cast<size_t>(std::max(profile.NumberOfPoints, 0));
  const size_t limit = std::max(profile.CustomPoints.size(), static_cast<size_t>(TestProfile::kMaxPoints));
  const size_t count = std::min(wanted, limit);
  ByteWriter out;
  for (size_t k = 0; k < count; ++k) out.F64(k < profile.CustomPoints.size() ? profile.CustomPoints[k] : 0.0);

  const auto host = CustomHostPath(profile);
  if (!host) {
    prompter_.Message(kInvalidIdMessage);
    return false;
  }
  try {
    BinaryFile::ReplaceWholeFile(*host, out.bytes());
  } catch (const FileError& error) {
    // Only a name that cannot be a file here is the profile ID's fault; a full or failing
    // disk is reported as what it is.
    if (error.cause() != FileError::Cause::NotFound && error.cause() != FileError::Cause::BadPath) throw;
    prompter_.Message(kInvalidIdMessage);
    return false;
  }
  return true;
}

bool TestProfileTable::CustomFileExists(const TestProfile& profile) const {
  const auto host = CustomHostPath(profile);
  BinaryFile file;
  return host && file.TryOpen(*host, BinaryFile::Mode::Read);
}

bool TestProfileTable::IsValidFileId(const std::string& id) {
  if (id.empty() || id.find("..") != std::string::npos) return false;
  return std::none_of(id.begin(), id.end(), [](char c) {
    const auto code = static_cast<unsigned char>(c);
    return code < 0x20 || code == 0x7F || std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
  });
}

std::string TestProfileTable::EncodeRecord(const Record& record) {
  ByteWriter out;
  WriteFixedString(out, record.id, kTextWidth);
  WriteFixedString(out, record.type, kTextWidth);
  out.I32(record.points);
  out.I32(record.leak_test ? 1 : 0);
  return out.Take();
}

TestProfileTable::Record TestProfileTable::DecodeRecord(std::string_view table, size_t index,
                                                        const std::string& path) {
  // Each record is read within its own 144 bytes, so a malformed one can neither read
  // into its neighbour nor shift the positions of the records after it.
  ByteReader in(table.substr(index * kRecordSize, kRecordSize), path);
  Record record;
  record.id = TrimString(ReadArchiveString(in));
  record.type = TrimString(ReadArchiveString(in));
  record.points = in.I32();
  record.leak_test = in.I32() != 0;
  return record;
}

std::optional<size_t> TestProfileTable::FindRecord(std::string_view table, const std::string& id,
                                                   const std::string& path) {
  const size_t count = table.size() / kRecordSize;
  for (size_t index = 0; index < count; ++index) {
    if (DecodeRecord(table, index, path).id == id) return index;
  }
  return std::nullopt;
}

TestProfileTable::Record TestProfileTable::RecordOf(const TestProfile& profile) {
  return {profile.ID, profile.ProfileType, profile.NumberOfPoints, profile.LeakTest};
}

std::vector<std::string> TestProfileTable::ReadIds() const {
  const std::string host = HostPath(table_path_);
  const FileBytes table = BinaryFile::ReadWholeFile(host);
  std::vector<std::string> ids;
  for (size_t index = 0; index < table.size() / kRecordSize; ++index) {
    ids.push_back(DecodeRecord(table, index, host).id);
  }
  return ids;
}

const char* TestProfileTable::RecordProblem(const TestProfile& profile) {
  // Text wider than its field would make the record longer than 144 bytes and leave a
  // damaged record behind; refuse it before anything is written.
  if (profile.ID.size() > kMaxTextLength) return kIdTooLongMessage;
  if (profile.ProfileType.size() > kMaxTextLength) return kTypeTooLongMessage;
  if (!SurvivesTrim(profile.ID)) return kIdUnstorableMessage;
  if (!SurvivesTrim(profile.ProfileType)) return kTypeUnstorableMessage;
  return nullptr;
}

const char* TestProfileTable::SaveProblem(const TestProfile& profile) {
  if (const char* problem = RecordProblem(profile)) return problem;
  if (profile.ProfileType == "Custom" && !IsValidFileId(profile.ID)) return kInvalidIdMessage;
  return nullptr;
}

bool TestProfileTable::CheckStorable(const TestProfile& profile) {
  const char* problem = RecordProblem(profile);
  if (problem) prompter_.Message(problem);
  return problem == nullptr;
}

void TestProfileTable::RestoreTable(const std::string& host_path, std::string_view bytes) {
  try {
    BinaryFile::ReplaceWholeFile(host_path, bytes);
  } catch (const FileError&) {
    // The failure that made the change go back is the one the user hears of.
  }
}

std::optional<std::string> TestProfileTable::CustomHostPath(const TestProfile& profile) const {
  if (!IsValidFileId(profile.ID)) return std::nullopt;
  return HostPath(CustomFilePath(profile));
}

}  // namespace veld
