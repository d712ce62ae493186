#include "records/uut.h"

#include <cmath>

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

}  // namespace veld
