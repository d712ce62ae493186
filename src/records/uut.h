#pragma once
// One unit under test: a pressure transducer, transmitter, dial gauge or switch.
// Pressures (ranges, control stability, leak rate) are held in inches of water column.

#include <array>
#include <string>

#include "records/unit.h"

namespace veld {

struct SmartPartSettings;

class UUT : public Unit {
 public:
  UUT();

  double Excitation = 5.0;  // volts; -1.0 means external excitation
  std::string OutputType;   // "CSOU", "CSIM", "3WIR", "4WIR", "DIALGAGE", "P-SWITCH"
  int32_t SettlingTime = 5000;  // ms
  double ControlStability = 0.0003;
  double Accuracy = 1.0;  // %FS
  double MaxLeakRate = 0.0003;
  std::string DefaultTestProfile;
  double ReCalAccuracy = 0.5;  // %FS
  double SystemVolume = 64.0;  // cubic inches
  std::string SerialNumber;
  std::string PartNumber;
  std::string Model;
  std::string Manufacturer;
  std::array<std::string, 5> LevelNames;  // carried by result files only

  void SetOutputUnits(const std::string& units) { OutputUnits = units; }
  // Stores the type and derives OutputUnits: "VDC" for "WIR" types, else "mA" when the
  // type contains a capital C, else empty ("P-SWITCH" thus derives "mA").
  void SetOutputType(const std::string& type);

  // The ideal output at an applied pressure.
  double OutputAt(double pressure) const;
  // The error of a reading in percent of full scale. For dial gauges and pressure
  // switches the reading is a pressure, for every other type an output. A zero span
  // gives a non-finite result (never a pass: see PointPasses).
  double ErrorPercentFS(double applied, double reading) const;

  // True when the type's reading is a pressure rather than an electrical output.
  bool ReadsPressure() const { return OutputType == "DIALGAGE" || OutputType == "P-SWITCH"; }
};

// Whether a point's error lies within the accuracy. A non-finite error (zero span) fails.
bool PointPasses(double error_percent_fs, double accuracy);

// Sets what a smart part number decoded: the ID, each recognised group and the fixed
// settings; nothing at all when the number was too short to decode. The output type is
// set last, so that it derives the output units as the type alone would.
void ApplySmartPartSettings(const SmartPartSettings& settings, UUT& uut);

}  // namespace veld
