#include "app/panels.h"

#include "platform/format.h"
#include "units/pressure_units.h"

namespace veld {
namespace {

// "%.4f" below a factor of 1, one decimal fewer for each power of ten above it.
const char* PressureFormatFor(double factor) {
  if (factor < 1.0) return "%.4f";
  if (factor < 10.0) return "%.3f";
  if (factor < 100.0) return "%.2f";
  if (factor < 1000.0) return "%.1f";
  return "%.0f";
}

}  // namespace

std::string BuildUUTPanel(const UUT& uut) {
  const bool has_output = !uut.ReadsPressure();
  std::string text;
  text += Format("UUT ID:\t\t%s\r\n", uut.ID.c_str());
  text += Format("UUT Serial Number:\t%s\r\n", uut.SerialNumber.c_str());
  text += Format("UUT Manufacturer:\t%s\r\n", uut.Manufacturer.c_str());
  text += Format("UUT Model:\t\t%s\r\n", uut.Model.c_str());
  text += Format("UUT Type:\t\t%s\r\n", ShownOutputType(uut).c_str());
  text += Format("Accuracy:\t\t%.3f (%%FS)\r\n", uut.Accuracy);
  text += Format("Re-Cal. Accuracy:\t%5.3f (%%FS)\r\n", uut.ReCalAccuracy);
  // Printed beside the UUT's unit, so in that unit: a "Pa" range held as +-1.005 inches of
  // water shows as +-250.
  text += Format("InputRange:\t\t%.3f to %.3f (%s)\r\n", RangeInUnit(uut.InputOffset, uut.InputUnits),
                 RangeInUnit(uut.InputOffset + uut.InputSpan, uut.InputUnits), uut.InputUnits.c_str());
  if (has_output) {
    text += Format("OutputRange:\t\t%.3f to %.3f (%s)\r\n", uut.OutputOffset, uut.OutputOffset + uut.OutputSpan,
                   uut.OutputUnits.c_str());
  }
  text += Format("Settling Time:\t\t%5i (ms)\r\n", uut.SettlingTime);
  text += Format("System Volume:\t\t%.3f (cu. in.)\r\n", uut.SystemVolume);
  if (has_output) {
    text += uut.Excitation == -1.0 ? std::string("Excitation:\t\tEXTERNAL\r\n")
                                   : Format("Excitation:\t\t%.1f (VDC)\r\n", uut.Excitation);
  }
  text += Format("Req'd Ctrl Stability:\t%.4f (%s)\r\n", uut.ControlStability, uut.InputUnits.c_str());
  text += Format("Max Leak Rate:\t\t%.6f (%s/s)\r\n", uut.MaxLeakRate, uut.InputUnits.c_str());
  text += Format("Default Test Profile:\t%s", uut.DefaultTestProfile.c_str());
  return text;
}

std::string ShownOutputType(const UUT& uut) {
  return uut.OutputType.find("CS") != std::string::npos ? std::string("CURR") : uut.OutputType;
}

std::string BuildProfilePanel(const TestProfile& profile) {
  return Format("Test Profile ID:\t\t%s\r\nProfile Type:\t\t%s\r\nNumber Of Test Points:\t%i\r\nPerform Leak Test?:\t",
                profile.ID.c_str(), profile.ProfileType.c_str(), profile.NumberOfPoints) +
         (profile.LeakTest ? "YES" : "NO");
}

std::vector<ProfilePointRow> BuildProfilePointRows(const TestProfile& profile, const UUT& uut) {
  const double factor = UnitDisplayFactor(uut.InputUnits);
  std::vector<ProfilePointRow> rows;
  for (int i = 1; i <= profile.NumberOfPoints; ++i) {
    if (profile.ProfileType == "Custom" && static_cast<size_t>(i) > profile.CustomPoints.size()) break;
    const double fraction = profile.PointFraction(i);
    rows.push_back({Format("  %i", i), Format("%.2f", fraction * 100.0),
                    Format(PressureFormatFor(factor), profile.PointPressure(i, uut) * factor),
                    Format("%5.3f", fraction * uut.OutputSpan + uut.OutputOffset)});
  }
  if (profile.LeakTest) rows.push_back({"  L", "", Format("%.5f", uut.MaxLeakRate), ""});
  return rows;
}

}  // namespace veld
