#pragma once
// Every field of a TestResults record as text, for tests that compare two ways of reading
// the same file: one line per field, so that a difference names the field.

#include <sstream>
#include <string>
#include <vector>

#include "records/test_results.h"

namespace veld::test {

inline std::string DescribeFields(const TestResults& r, bool with_columns = true) {
  std::ostringstream out;
  out.precision(17);
  auto date = [&](const char* name, const OleDateTime& d) {
    out << name << ' ' << d.GetStatus() << ' ' << d.Value() << '\n';
  };
  auto texts = [&](const char* name, const std::vector<std::string>& column) {
    out << name;
    for (const std::string& text : column) out << " [" << text << ']';
    out << '\n';
  };
  auto numbers = [&](const char* name, const std::vector<double>& column) {
    out << name;
    for (double value : column) out << ' ' << value;
    out << '\n';
  };
  const UUT& u = r.Uut;
  out << "uut " << u.ID << '|' << u.OutputType << '|' << u.OutputUnits << '|' << u.InputUnits << '|'
      << u.DefaultTestProfile << '|' << u.SerialNumber << '|' << u.PartNumber << '|' << u.Model << '|'
      << u.Manufacturer << '\n';
  for (const std::string& level : u.LevelNames) out << "level " << level << '\n';
  out << "uut numbers " << u.Excitation << ' ' << u.SettlingTime << ' ' << u.ControlStability << ' ' << u.Accuracy
      << ' ' << u.MaxLeakRate << ' ' << u.OutputSpan << ' ' << u.OutputOffset << ' ' << u.InputSpan << ' '
      << u.InputOffset << ' ' << u.ReCalAccuracy << ' ' << u.SystemVolume << '\n';
  date("due", u.CalibrationDueDate);
  out << "profile " << r.Profile.ID << '|' << r.Profile.ProfileType << '|' << r.Profile.NumberOfPoints << '|'
      << r.Profile.LeakTest << '\n';
  numbers("custom points", r.Profile.CustomPoints);
  out << "operator " << r.Op.ID << '|' << r.Op.Password << '\n';
  date("tested", r.DateTimeTested);
  out << "as found " << r.AsFound << " leak " << r.LeakValue << " factor " << r.UnitFactor << " location "
      << r.ReferenceLocation << '\n';
  out << "serials " << r.CalibratorSerialNumber << '|' << r.ModuleSerialNumber << '|' << r.SpareText << '\n';
  date("calibrator cal", r.CalibratorCalDate);
  date("module cal", r.ModuleCalDate);
  texts("pass/fail", r.PassFailText);
  if (with_columns) {
    texts("point", r.PointNumberText);
    texts("target pressure", r.TargetPressureText);
    texts("actual pressure", r.ActualPressureText);
    texts("target output", r.TargetOutputText);
    texts("actual output", r.ActualOutputText);
    texts("error", r.ErrorText);
    numbers("a", r.ActualPressure);
    numbers("b", r.ActualOutput);
    numbers("error fs", r.ErrorFS);
  }
  return out.str();
}

}  // namespace veld::test
