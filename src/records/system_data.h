#pragma once
// The settings record that the main window owns: the settings of the PC database's
// settings table that the desktop uses, decoded by CDataBaseX::LoadSystemData.

#include <cstdint>
#include <string>

namespace veld {

// A value base of SystemData, never deleted through a pointer to it: no virtual destructor,
// which would keep the records from moving.
class M582DefaultSettings {
 public:
  bool UseDefaults = false;    // "Default582-UseDefaults"
  bool UseReCalAcc = false;    // "Default582-UseReCalAcc"
  double ReCalAcc = 0.0;       // "Default582-ReCalAcc"
  double DefaultAcc = 0.0;     // "Default582-DefaultAcc"
  double CtrlStab = 0.0;       // "Default582-CtrlStab"
  double MaxLeak = 0.0;        // "Default582-MaxLeak"
  int32_t SettleTime = 0;      // "Default582-SettleTime"
  std::string TestProfileID;   // "Default582-TestProfile"
};

class SystemData : public M582DefaultSettings {
 public:
  bool ManualPressureStep = false;         // "ManualPressureStep"
  bool UseTrendGraph_WarmUp = false;       // "UseTrendGraph_WarmUp"
  bool UseTrendGraph_TestResults = false;  // "UseTrendGraph_TestResults"
  bool UseTrendGraph_LeakTest = false;     // "UseTrendGraph_LeakTest"
  bool UseWarning_Excitation = false;      // "UseWarning_Excitation"
  bool UseWarning_Miswire = false;         // "UseWarning_Miswire"
  std::string EngUnits;                    // "EngUnits"
  double EngUnitsConversionSpan = 0.0;     // "EngUnitsConversionSpan"
  bool LockedOut = false;                  // "LockedOut", also kept by the lock-down
  bool CFRCompliantMode = false;           // "21CFRCompliantMode"
  bool LockDownEnable = false;             // "LockDownEnable"
  int32_t LockDownAttemptLimit = 0;        // "LockDownAttemptLimit"
  int32_t PasswordExpirationLimit = 0;     // "PWExpirationtLimit"
  bool PrintProtected = false;             // no key; see the print command
};

}  // namespace veld
