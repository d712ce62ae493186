#include "database/database.h"

#include "platform/host_path.h"
#include "records/uut_limits.h"
#include "units/pressure_units.h"

namespace veld {

CDataBaseX::CDataBaseX(Prompter& prompter)
    : prompter_(prompter), uut_table_(prompter), profile_table_(prompter), settings_table_(prompter) {
  CreateDirectories();
}

CDataBaseX::~CDataBaseX() = default;

void CDataBaseX::CreateDirectories() {
  for (const char* folder : layout::kFolders) CreateFolder(folder);
}

void CDataBaseX::SetDevice(DatabaseSide side) {
  side_ = side;
  uut_table_.SetDevice(side);
  profile_table_.SetDevice(side);
  settings_table_.SetDevice(side);
}

void CDataBaseX::Open() {
  uut_table_.Open();
  profile_table_.Open();
  settings_table_.Open();
}

bool CDataBaseX::LoadUUT(UUT& uut) {
  uut_table_.LoadRecord(uut);
  return true;
}

std::vector<UUT> CDataBaseX::ReadAllUUTs() { return uut_table_.ReadAllRecords(); }

bool CDataBaseX::SaveUUTs(const std::vector<UUT>& uuts) { return uut_table_.SaveRecords(uuts); }

bool CDataBaseX::SaveUUT(const UUT& uut) { return uut_table_.SaveRecord(uut); }

bool CDataBaseX::DeleteUUT(const UUT& uut) { return uut_table_.DeleteRecord(uut); }

void CDataBaseX::ConvertOldUUTTable() { uut_table_.ConvertOldTable(); }

bool CDataBaseX::LoadTestProfile(TestProfile& profile) {
  profile_table_.LoadRecord(profile);
  return true;
}

bool CDataBaseX::SaveTestProfile(const TestProfile& profile) { return profile_table_.SaveRecord(profile); }

bool CDataBaseX::DeleteTestProfile(const TestProfile& profile) {
  profile_table_.DeleteRecord(profile);
  return true;
}

bool CDataBaseX::CustomFileExists(const TestProfile& profile) { return profile_table_.CustomFileExists(profile); }

void CDataBaseX::LoadCustomPoints(TestProfile& profile) { profile_table_.LoadCustomPoints(profile); }

void CDataBaseX::FillList(ListTarget& list, const std::string& table_name) {
  if (table_name == "UUT") {
    list.Clear();
    uut_table_.FillList(list);
  } else if (table_name == "TestProfile") {
    list.Clear();
    profile_table_.FillList(list);
  }
}

void CDataBaseX::FillCombo(ListTarget& combo, const std::string& list_name) {
  combo.Clear();
  if (list_name == "UUT") {
    uut_table_.FillCombo(combo);
  } else if (list_name == "TestProfile") {
    profile_table_.FillCombo(combo);
  } else if (list_name == "UUT_Types") {
    for (const std::string& type : UUTTypeChoices()) combo.Append(type);
  } else if (list_name == "EXC") {
    for (const ExcitationChoice& excitation : ExcitationChoices()) combo.Append(excitation.text);
  }
}

double CDataBaseX::GetUnitFactor(const std::string& unit_name) { return results_table_.PressureUnitFactor(unit_name); }

void CDataBaseX::GetSetting(const std::string& key, std::string& value) { settings_table_.GetSetting(key, value); }

std::string CDataBaseX::GetSettingValue(const std::string& key) {
  std::string value;
  GetSetting(key, value);
  return value;
}

void CDataBaseX::SetSetting(const std::string& key, const std::string& value) {
  settings_table_.SetSetting(key, value);
}

void CDataBaseX::LoadSystemData() {
  if (system_data_ == nullptr) return;  // only the PC database has a settings record
  SystemData& data = *system_data_;
  auto flag = [this](const char* key) { return GetSettingValue(key) == "true"; };
  auto number = [this](const char* key) { return converter_.AsDouble(GetSettingValue(key)); };
  auto integer = [this](const char* key) { return converter_.AsInteger(GetSettingValue(key)); };

  data.EngUnits = GetSettingValue("EngUnits");
  data.EngUnitsConversionSpan = number("EngUnitsConversionSpan");
  data.UseTrendGraph_WarmUp = flag("UseTrendGraph_WarmUp");
  data.UseTrendGraph_TestResults = flag("UseTrendGraph_TestResults");
  data.UseTrendGraph_LeakTest = flag("UseTrendGraph_LeakTest");
  data.UseWarning_Excitation = flag("UseWarning_Excitation");
  data.UseWarning_Miswire = flag("UseWarning_Miswire");
  data.ManualPressureStep = flag("ManualPressureStep");
  data.LockedOut = IsLockedOut();
  data.CFRCompliantMode = flag("21CFRCompliantMode");
  data.LockDownEnable = flag("LockDownEnable");
  data.LockDownAttemptLimit = integer("LockDownAttemptLimit");
  data.PasswordExpirationLimit = integer("PWExpirationtLimit");
  data.CtrlStab = number("Default582-CtrlStab");
  data.MaxLeak = number("Default582-MaxLeak");
  data.ReCalAcc = number("Default582-ReCalAcc");
  data.DefaultAcc = number("Default582-DefaultAcc");
  data.SettleTime = integer("Default582-SettleTime");
  data.TestProfileID = GetSettingValue("Default582-TestProfile");
  data.UseDefaults = flag("Default582-UseDefaults");
  data.UseReCalAcc = flag("Default582-UseReCalAcc");
}

}  // namespace veld
