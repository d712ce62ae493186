#pragma once
// One database: the flat files under one folder tree (the PC database, device flag 0,
// or the desktop's mirror of the calibrator, the VELD database, device flag 1). The one
// object that the front ends ask for records, lists, settings, operators and results.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/prompter.h"
#include "records/list_target.h"
#include "records/operator.h"
#include "records/system_data.h"
#include "records/system_data_table.h"
#include "records/test_profile_table.h"
#include "records/test_results_table.h"
#include "records/uut_table.h"
#include "units/type_converter.h"

namespace veld {

class ResultListTarget;

// The folder that holds every result file copied from the calibrator.
inline constexpr const char* kResultFolder = layout::kResultFolder;
using layout::ResultFilePath;

class CDataBaseX {
 public:
  // Creates the folder tree; the tables get their files from SetDevice.
  explicit CDataBaseX(Prompter& prompter);
  virtual ~CDataBaseX();
  CDataBaseX(const CDataBaseX&) = delete;
  CDataBaseX& operator=(const CDataBaseX&) = delete;

  void CreateDirectories();
  // The PC database or the VELD database (the device flag of the described system).
  void SetDevice(DatabaseSide side);
  DatabaseSide Side() const { return side_; }
  // The settings record that LoadSystemData and the lock-down keep up to date (PC only);
  // it must outlive the database.
  void SetSystemData(SystemData& record) { system_data_ = &record; }
  // Opens the UUT table, the test profile table and the settings table, in this order;
  // each reports its own corruption and the next is still opened.
  void Open();

  // Record operations. The tables show their own failures; a save or delete that one of
  // them refused (or that showed an error) gives false, every other call true.
  bool LoadUUT(UUT& uut);
  bool SaveUUT(const UUT& uut);
  bool DeleteUUT(const UUT& uut);
  void ConvertOldUUTTable();
  // Every UUT of the table in file order; many UUTs stored in one write (CUUTTable).
  std::vector<UUT> ReadAllUUTs();
  bool SaveUUTs(const std::vector<UUT>& uuts);
  bool LoadTestProfile(TestProfile& profile);
  bool SaveTestProfile(const TestProfile& profile);
  bool DeleteTestProfile(const TestProfile& profile);
  bool CustomFileExists(const TestProfile& profile);
  void LoadCustomPoints(TestProfile& profile);

  // "UUT" or "TestProfile" (exact); any other name leaves the list as it is.
  void FillList(ListTarget& list, const std::string& table_name);
  // "UUT", "TestProfile", "UUT_Types" or "EXC" (exact); any other name leaves it empty.
  void FillCombo(ListTarget& combo, const std::string& list_name);
  // Pa per unit of a pressure unit name, -1.0 for an unknown name.
  double GetUnitFactor(const std::string& unit_name);

  // Settings of this database's settings table.
  void GetSetting(const std::string& key, std::string& value);
  std::string GetSettingValue(const std::string& key);
  void SetSetting(const std::string& key, const std::string& value);
  void LoadSystemData();

  // Operators and lock-down (PC database).
  bool IsLockedOut();
  int RecordFailedAttempt();
  void ClearLockOut();
  bool LoadOperator(Operator& op);
  void DecodeOperator(const std::string& value, Operator& op);
  bool ValidateOperator(Operator op, const std::string& typed_password);
  void LogFailedAttempt(Operator op, const std::string& typed_password);
  void LogUnlock();

  // Test results (the PC database's result folder, whatever the flag).
  void FillResultUUTCombo(ListTarget& combo);
  void ListTestResults(ResultListTarget& list, const std::string& uut_id, TestResults& work);
  // Reads the result file at a logical path (or a host path) into record. False when
  // nothing was read (no such file, or under 4 bytes): the record then holds only what
  // it held before, which is no result of that file.
  bool ReadTestResults(TestResults& record, const std::string& path);

  Prompter& prompter() { return prompter_; }

 private:
  Prompter& prompter_;
  CUUTTable uut_table_;
  TestProfileTable profile_table_;
  SystemDataTable settings_table_;
  TestResultsTable results_table_;
  DatabaseSide side_ = DatabaseSide::PC;
  TypeConverter converter_;
  SystemData* system_data_ = nullptr;  // none: the VELD database
};

}  // namespace veld
