// Operators and lock-down: members of CDataBaseX that work on the PC settings table.
//
// Operator values. The calibrator stores an operator under "Operator" + name as a value
// of at least 29 characters: name 0-7, ID 8-15, password 16-23, password date 24-27,
// flag 28. Names, IDs and passwords shorter than 8 characters are padded; the padding
// is taken to be trailing blanks (and NULs, which the trimming of settings values already
// removes). Each field is therefore decoded with its trailing blanks and NULs removed, so
// that the name and password an operator types match what the calibrator wrote. A
// password that really ends in a blank cannot be told from padding; the calibrator's
// fixed 8-character fields give no way to tell them apart.

#include "database/database.h"
#include "database/system_log.h"
#include "platform/format.h"

namespace veld {
namespace {

constexpr size_t kOperatorValueLength = 29;

std::string DecodeOperatorField(const std::string& value, size_t offset) {
  std::string field = value.substr(offset, 8);
  const size_t end = field.find_last_not_of(std::string(" \0", 2));
  return end == std::string::npos ? std::string() : field.substr(0, end + 1);
}

}  // namespace

bool CDataBaseX::IsLockedOut() { return GetSettingValue("LockedOut") == "true"; }

int CDataBaseX::RecordFailedAttempt() {
  const int count = converter_.AsInteger(GetSettingValue("FailedPWAttemptCount")) + 1;
  const int limit = converter_.AsInteger(GetSettingValue("LockDownAttemptLimit"));
  const bool locked = count >= limit;
  // The count and the lock-out in one change of the table: a crash between them would
  // leave the count at the limit and the system open.
  settings_table_.SetSettings(
      {{"FailedPWAttemptCount", Format("%i", count)}, {"LockedOut", locked ? "true" : "false"}});
  if (system_data_ != nullptr) system_data_->LockedOut = locked;
  return count;
}

void CDataBaseX::ClearLockOut() {
  settings_table_.SetSettings({{"FailedPWAttemptCount", "0"}, {"LockedOut", "false"}});
  if (system_data_ != nullptr) system_data_->LockedOut = false;
}

bool CDataBaseX::LoadOperator(Operator& op) {
  const std::string value = GetSettingValue("Operator" + op.Name);
  if (value.size() < kOperatorValueLength) return false;
  DecodeOperator(value, op);
  return true;
}

void CDataBaseX::DecodeOperator(const std::string& value, Operator& op) {
  if (value.size() < kOperatorValueLength) {
    prompter_.Message("Unable to load operator information from DataBase.\r\nChecksum error!");
    op.Name = op.ID = op.Password = "NULL";
    op.PasswordDate = OleDateTime();
    op.OperatorFlag = 0;
    return;
  }
  op.Name = DecodeOperatorField(value, 0);
  op.ID = DecodeOperatorField(value, 8);
  op.Password = DecodeOperatorField(value, 16);
  converter_.ParseDateTime(value.substr(24, 4), op.PasswordDate, true);
  op.OperatorFlag = static_cast<uint8_t>(value[28]);
}

bool CDataBaseX::ValidateOperator(Operator op, const std::string& typed_password) {
  if (!LoadOperator(op)) return false;
  if (op.Password != typed_password) return false;
  if (op.Name == "Chief" && IsLockedOut()) LogUnlock();
  ClearLockOut();
  return true;
}

void CDataBaseX::LogFailedAttempt(Operator op, const std::string& /*typed_password: never logged*/) {
  AppendToSystemLog(FailedAttemptLine(OleDateTime::Now(), op.ID));
}

void CDataBaseX::LogUnlock() { AppendToSystemLog(UnlockLine(OleDateTime::Now())); }

}  // namespace veld
