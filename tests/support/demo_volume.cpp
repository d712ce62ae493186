#include "support/demo_volume.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "database/database.h"
#include "database/results_index.h"
#include "platform/binary_file.h"
#include "platform/byte_stream.h"
#include "platform/format.h"
#include "platform/host_path.h"
#include "units/pressure_units.h"

namespace veld::demo {
namespace fs = std::filesystem;
using test::ResultFileForm;
using test::ResultFileDescription;
using test::ResultPoint;

namespace {

// Any message from a table means the demo data is wrong: fail rather than write a
// volume that differs from what it claims to be.
class FailingPrompter : public Prompter {
 public:
  void Message(const std::string& text, MessageIcon) override { throw std::runtime_error(text); }
  bool AskYesNo(const std::string& question) override { throw std::runtime_error(question); }
};

UUT MakeUUT(const std::string& id, const std::string& type, double low_pa, double high_pa, double out_low,
            double out_high, double excitation, double accuracy) {
  UUT uut;
  uut.ID = id;
  uut.SetOutputType(type);
  uut.InputUnits = "Pa";
  uut.InputOffset = low_pa;
  uut.InputSpan = high_pa - low_pa;
  uut.OutputOffset = out_low;
  uut.OutputSpan = out_high - out_low;
  uut.Excitation = excitation;
  uut.Accuracy = accuracy;
  uut.ReCalAccuracy = accuracy / 2.0;
  uut.SettlingTime = 5000;
  uut.ControlStability = 0.0003;
  uut.MaxLeakRate = 0.0003;
  uut.DefaultTestProfile = "5pointtest";
  uut.CalibrationDueDate = OleDateTime(2025, 6, 30, 0, 0, 0);
  uut.SystemVolume = 64.0;
  return uut;
}

// The UUT as the UUT table holds it: the range in inches of water column (the result
// files give it in Pa). Stability and leak rate are already meant in inches of water.
UUT AsTableRecord(UUT uut) {
  uut.InputOffset /= kPascalsPerInchWater;
  uut.InputSpan /= kPascalsPerInchWater;
  return uut;
}

const UUT& FindUUT(const std::vector<UUT>& uuts, const std::string& id) {
  for (const UUT& uut : uuts) {
    if (uut.ID == id) return uut;
  }
  throw std::runtime_error("no demo UUT " + id);
}

// One measured point at a fraction of the range, its reading off the ideal by
// error_fs percent of full scale (of the output, or of the pressure range for gauges
// and switches, whose reading is a pressure).
ResultPoint Measure(const UUT& uut, double fraction, double error_fs) {
  const double applied = fraction * uut.InputSpan + uut.InputOffset;
  const double reading = uut.ReadsPressure() ? applied + error_fs / 100.0 * uut.InputSpan
                                             : uut.OutputAt(applied) + error_fs / 100.0 * uut.OutputSpan;
  return {applied, reading, fraction};
}

ResultFileDescription Result(const UUT& uut, const TestProfile& profile, const std::vector<double>& errors_fs,
                      ResultFileForm form, bool as_found, const OleDateTime& tested) {
  ResultFileDescription description = test::DefaultResultFileDescription();
  description.form = form;
  description.uut = uut;
  description.profile_id = profile.ID;
  description.profile_type = profile.ProfileType;
  description.leak_test = profile.LeakTest;
  description.points.clear();
  for (int i = 1; i <= profile.NumberOfPoints; ++i) {
    const double error = errors_fs[static_cast<size_t>(i - 1) % errors_fs.size()];
    description.points.push_back(Measure(uut, profile.PointFraction(i), error));
  }
  description.as_found = as_found;
  description.date_tested = tested;
  return description;
}

TestProfile Profile(const std::string& id, const std::string& type, int points, bool leak_test) {
  TestProfile profile;
  profile.ID = id;
  profile.ProfileType = type;
  profile.NumberOfPoints = points;
  profile.LeakTest = leak_test;
  profile.GeneratePoints(points, true, type);
  return profile;
}

TestProfile CustomProfile() {
  TestProfile profile = Profile("Custom-4", "Custom", 4, false);
  profile.CustomPoints = {0.0, 0.25, 0.75, 1.0};
  return profile;
}

void CopyFile(const std::string& from_host, const std::string& to_host) {
  fs::create_directories(fs::path(to_host).parent_path());
  BinaryFile out(to_host, BinaryFile::Mode::Create);
  out.Write(BinaryFile::ReadWholeFile(from_host));
}

std::string RecordCountFile(const std::string& profile_table_host) {
  const uint64_t records = fs::file_size(profile_table_host) / TestProfileTable::kRecordSize;
  ByteWriter out;
  out.U32(static_cast<uint32_t>(records));
  return out.Take();
}

}  // namespace

std::vector<UUT> DemoUUTs() {
  UUT pt1001 = MakeUUT("PT-1001", "CSOU", -250.0, 250.0, 4.0, 20.0, 24.0, 0.25);
  pt1001.SerialNumber = "SN-48213";
  pt1001.PartNumber = "DPT-250PA-C";
  pt1001.Model = "DPT250";
  pt1001.Manufacturer = "Example Sensors";
  UUT pt1002 = MakeUUT("PT-1002", "CSIM", 0.0, 1000.0, 4.0, 20.0, 24.0, 0.5);
  pt1002.SerialNumber = "SN-50977";
  UUT tx2001 = MakeUUT("TX-2001", "3WIR", 0.0, 500.0, 0.0, 5.0, 12.0, 0.25);
  tx2001.SerialNumber = "SN-61002";
  tx2001.Model = "VT500";
  UUT tx2002 = MakeUUT("TX-2002", "4WIR", -100.0, 100.0, 0.0, 10.0, -1.0, 0.5);
  UUT dg3001 = MakeUUT("DG-3001", "DIALGAGE", 0.0, 2500.0, 0.0, 0.0, 24.0, 1.0);
  UUT ps4001 = MakeUUT("PS-4001", "P-SWITCH", 0.0, 1000.0, 0.0, 1.0, 24.0, 1.0);
  ps4001.DefaultTestProfile = "3pointtest";
  return {pt1001, pt1002, tx2001, tx2002, dg3001, ps4001};
}

UUT DemoKpaUUT() {
  UUT pt5001 = MakeUUT("PT-5001", "CSOU", -1000.0, 1000.0, 4.0, 20.0, 24.0, 0.25);
  pt5001.InputUnits = "kPa";
  pt5001.SerialNumber = "SN-70114";
  pt5001.Model = "DPT1K";
  return pt5001;
}

std::vector<DemoResultFile> DemoResultFiles() {
  const std::vector<UUT> uuts = DemoUUTs();
  const TestProfile five = Profile("5pointtest", "Ascending", 5, false);
  const TestProfile three = Profile("3pointtest", "Ascending", 3, false);
  const TestProfile both = Profile("Both-Leak", "Both", 7, true);
  const TestProfile custom = CustomProfile();
  auto prefix = [](const std::string& id) { return ResultFilePrefix(id); };

  std::vector<DemoResultFile> files;
  const UUT& pt1001 = FindUUT(uuts, "PT-1001");
  files.push_back({prefix("PT-1001") + "0001.DAT",
                   Result(pt1001, five, {0.013, 0.021, -0.008, 0.031, 0.007}, ResultFileForm::ModuleDate, true,
                          OleDateTime(2024, 6, 14, 8, 0, 0))});
  files.push_back({prefix("PT-1001") + "0002.DAT",
                   Result(pt1001, five, {0.004, -0.006, 0.002, 0.009, -0.003}, ResultFileForm::ModuleDate, false,
                          OleDateTime(2024, 6, 14, 9, 30, 0))});

  const UUT& tx2001 = FindUUT(uuts, "TX-2001");
  files.push_back({prefix("TX-2001") + "0001.DAT",
                   Result(tx2001, five, {0.05, 0.12, 0.61, 0.18, 0.09}, ResultFileForm::UutExtension, true,
                          OleDateTime(2024, 6, 17, 13, 15, 0))});
  files.push_back({prefix("TX-2001") + "0002.DAT",
                   Result(tx2001, five, {0.02, -0.04, 0.05, 0.01, -0.02}, ResultFileForm::UutExtension, false,
                          OleDateTime(2024, 6, 18, 10, 5, 0))});

  DemoResultFile leak{prefix("PT-1002") + "0001.DAT",
                      Result(FindUUT(uuts, "PT-1002"), both, {0.02, -0.05, 0.11, 0.07, -0.03, 0.04, 0.01},
                             ResultFileForm::Instrument, true, OleDateTime(2024, 7, 2, 14, 45, 30))};
  leak.description.leak_value = 0.00042;  // at least the UUT's MaxLeakRate: the leak test passes
  files.push_back(leak);
  // Its calibrations of the years before: a drift history, the 2023 As Found out of tolerance.
  const std::vector<std::vector<double>> earlier_errors = {
      {0.05, 0.12, 0.08, -0.04, 0.02, 0.06, 0.03},  {0.01, 0.03, -0.02, 0.02, 0.0, -0.01, 0.01},
      {0.08, 0.21, 0.16, 0.05, -0.06, 0.11, 0.04},  {0.02, 0.04, 0.03, -0.01, 0.01, 0.02, 0.0},
      {0.12, 0.34, 0.29, 0.18, -0.07, 0.19, 0.09},  {0.01, 0.05, -0.03, 0.02, 0.02, -0.02, 0.01},
      {0.18, 0.41, 0.62, 0.37, -0.12, 0.27, 0.15},  {0.03, 0.06, 0.04, -0.02, 0.01, 0.03, 0.02}};
  for (size_t i = 0; i < earlier_errors.size(); ++i) {
    const int year = 2020 + static_cast<int>(i / 2);
    const bool as_found = i % 2 == 0;
    DemoResultFile earlier{prefix("PT-1002") + Format("%04d.DAT", static_cast<int>(i) + 2),
                           Result(FindUUT(uuts, "PT-1002"), both, earlier_errors[i], ResultFileForm::ModuleDate,
                                  as_found, OleDateTime(year, 7, 1 + static_cast<int>(i / 2), as_found ? 9 : 11, 0, 0))};
    earlier.description.leak_value = 0.00042;
    files.push_back(earlier);
  }

  files.push_back({prefix("TX-2002") + "0001.DAT",
                   Result(FindUUT(uuts, "TX-2002"), custom, {0.1, -0.2, 0.15, 0.05}, ResultFileForm::Operator, true,
                          OleDateTime(2024, 7, 3, 9, 12, 0))});
  files.push_back({prefix("DG-3001") + "0001.DAT",
                   Result(FindUUT(uuts, "DG-3001"), three, {0.2, -0.4, 0.3}, ResultFileForm::Trailer, true,
                          OleDateTime(2024, 7, 8, 16, 20, 0))});
  files.push_back({prefix("PS-4001") + "0001.DAT",
                   Result(FindUUT(uuts, "PS-4001"), three, {0.0, 0.5, -0.5}, ResultFileForm::ModuleDate, false,
                          OleDateTime(2024, 7, 9, 11, 0, 0))});
  return files;
}

void WriteDemoVolume(const std::string& device_root, const std::string& scratch_root) {
  // The tables are made by the core's own table classes in a scratch PC database, so
  // that they are exactly what the calibrator and the desktop share.
  setenv("VELD_ROOT", scratch_root.c_str(), 1);
  FailingPrompter prompter;
  CDataBaseX scratch(prompter);
  scratch.SetDevice(DatabaseSide::PC);
  scratch.Open();
  for (const UUT& uut : DemoUUTs()) scratch.SaveUUT(AsTableRecord(uut));
  scratch.SaveUUT(AsTableRecord(DemoKpaUUT()));
  scratch.SaveTestProfile(CustomProfile());
  scratch.SaveTestProfile(Profile("Both-Leak", "Both", 7, true));
  scratch.SetSetting("OperatorChief", kChiefOperatorValue);
  scratch.SetSetting("OperatorTech", kTechOperatorValue);

  const fs::path veld = fs::path(device_root) / "Mounted_Volume" / "VELD";
  const std::string profile_table = HostPath("C:\\VELD\\PC\\TestProfile\\TestProfileTable.dat");
  CopyFile(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"), (veld / "UUT" / "UUTTable.DAT").string());
  CopyFile(profile_table, (veld / "TestProfile" / "TestProfileTable.DAT").string());
  CopyFile(HostPath("C:\\VELD\\PC\\TestProfile\\Custom-4_Custom.DAT"),
           (veld / "TestProfile" / "Custom-4_Custom.DAT").string());
  BinaryFile count((veld / "TestProfile" / "TestProfileRecCount").string(), BinaryFile::Mode::Create);
  count.Write(RecordCountFile(profile_table));
  CopyFile(HostPath("C:\\VELD\\PC\\System\\SystemDataTable.dat"),
           (veld / "System" / "SystemDataTable.DAT").string());

  for (const DemoResultFile& file : DemoResultFiles()) {
    test::WriteResultFile((veld / "TestResults" / "DAT" / file.name).string(), file.description);
  }
}

}  // namespace veld::demo
