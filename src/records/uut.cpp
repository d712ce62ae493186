#include "records/uut.h"

#include <cmath>

#include "units/smart_part_configurator.h"

namespace veld {

UUT::UUT() {
  SetOutputType("CSIM");
  SetOutputUnits("mA");
}

void UUT::SetOutputType(const std::string& type) {
  OutputType = type;
  if (type.find("WIR") != std::string::npos) {
    OutputUnits = "VDC";
  } else if (type.find('C') != std::string::npos) {
    OutputUnits = "mA";
  } else {
    OutputUnits.clear();
  }
}

double UUT::OutputAt(double pressure) const {
  return (pressure - InputOffset) / InputSpan * OutputSpan + OutputOffset;
}

double UUT::ErrorPercentFS(double applied, double reading) const {
  if (ReadsPressure()) return (reading - applied) / InputSpan * 100.0;
  return (reading - OutputAt(applied)) / OutputSpan * 100.0;
}

bool PointPasses(double error_percent_fs, double accuracy) {
  // Written so that NaN compares false and fails.
  return std::fabs(error_percent_fs) <= accuracy;
}

void ApplySmartPartSettings(const SmartPartSettings& settings, UUT& uut) {
  if (!settings.id) return;
  uut.ID = *settings.id;
  if (settings.input_range) {
    uut.InputOffset = settings.input_range->offset;
    uut.InputSpan = settings.input_range->span;
  }
  if (settings.accuracy) uut.Accuracy = *settings.accuracy;
  if (settings.output) {
    uut.OutputOffset = settings.output->offset;
    uut.OutputSpan = settings.output->span;
    uut.SetOutputUnits(settings.output->units);
    uut.Excitation = settings.output->excitation;
    uut.SetOutputType(settings.output->type);
  }
  if (settings.input_units) uut.InputUnits = *settings.input_units;
  uut.ControlStability = settings.control_stability;
  uut.DefaultTestProfile = settings.default_test_profile;
  uut.MaxLeakRate = settings.max_leak_rate;
  uut.SettlingTime = settings.settling_time;
}

}  // namespace veld
