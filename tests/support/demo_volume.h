#pragma once
// A demo calibrator volume: the files that a calibrator in use keeps under
// Mounted_Volume\VELD, so that a new user (and the command-line tests) can connect to a
// device at once.
//
// Contents:
//   UUT\UUTTable.DAT             the two built-in UUTs, one UUT of each type and a
//                                UUT ranged in kPa without results (DemoKpaUUT)
//   TestProfile\TestProfileTable.DAT, TestProfileRecCount, Custom-4_Custom.DAT
//                                the six standard profiles, "Custom-4" (Custom) and
//                                "Both-Leak" (Both, with leak test)
//   System\SystemDataTable.DAT   the default settings and two operators, "Chief"
//                                (the administrator) and "Tech"
//   TestResults\DAT\*.DAT        results of several UUTs (see DemoResultFiles)

#include <string>
#include <vector>

#include "support/result_file_writer.h"

namespace veld::demo {

// Operator values: name 0-7, ID 8-15, password 16-23 (blank padded), date 24-27, flag 28.
inline constexpr const char* kChiefOperatorValue = "Chief   ADM001  calib8  0101A";
inline constexpr const char* kTechOperatorValue = "Tech    TEC042  gauge   0101B";

// The UUTs of the volume as their result files describe them (pressures in Pa).
std::vector<UUT> DemoUUTs();

// PT-5001: -1 to 1 kPa giving 4 to 20 mA, a UUT that no result names (pressures in Pa).
UUT DemoKpaUUT();

struct DemoResultFile {
  std::string name;  // begins with the UUT's result file prefix
  test::ResultFileDescription description;
};

// PT-1001: an As Found/As Left pair 90 minutes apart (current form); TX-2001: a failing
// As Found and a passing As Left 20 h 50 min later (UUT extension form); PT-1002: a
// leak test on "Both-Leak" (instrument form) and the yearly pairs of 2020 to 2023 before
// it, their 2023 As Found out of tolerance (current form); TX-2002: a "Custom-4" result (operator
// form); DG-3001: the oldest form; PS-4001: a pressure switch As Left.
std::vector<DemoResultFile> DemoResultFiles();

// Writes the volume under device_root (the calibrator's file system root). The tables
// are built by the core table classes in a scratch database under scratch_root, which
// is left behind for the caller to remove. Throws FileError or std::runtime_error.
void WriteDemoVolume(const std::string& device_root, const std::string& scratch_root);

}  // namespace veld::demo
