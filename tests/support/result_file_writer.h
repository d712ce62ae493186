#pragma once
// Builds calibrator result files byte for byte, in every form the calibrator has
// written, from a description of the test. Used by tests, the demo calibrator volume,
// fuzz seeds and benchmarks; it needs the core library only (no test framework).
//
// Layout written, little-endian (dates are a 32-bit status then an 8-byte OLE date):
//   header    profile ID (text 32), point count, leak flag, profile type (text 16),
//             excitation, UUT type (text 8), settling time, control stability, accuracy,
//             max leak rate, default profile (text 32), UUT ID (text 32), due date,
//             output unit (text 8), pressure unit (text 8), output span, output offset,
//             input span, input offset                                    388 bytes
//   points    per point a, b (and the fraction f for "Custom")    16 or 24 bytes each
//   trailer   date tested, unused, As Found flag, leak value                28 bytes
//   operator  ID, password (short texts)
//   instrument  calibrator cal date, reference location, module serial, calibrator
//               serial (short texts)
//   UUT extension  re-cal accuracy, system volume, serial (text 32), part number (16),
//                  model (8), manufacturer (24), five level names (8 each)  292 bytes
//   module date    module cal date, spare (short text)
// Texts are fixed-width fields (FF FE FF w, then w 16-bit units); short texts are
// FF FE FF N then N 16-bit units.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/ole_date_time.h"
#include "records/uut.h"

namespace veld::test {

// Where a result file ends: each later calibrator version appended one section.
enum class ResultFileForm {
  Trailer,       // the oldest form: header, points, trailer
  Operator,      // ... then the operator section
  Instrument,    // ... then the instrument section
  UutExtension,  // ... then the UUT extension section
  ModuleDate,    // ... then the module date section (the current form)
};

// One measured point: a = actual pressure, b = actual output; fraction is written only
// for "Custom" profiles.
struct ResultPoint {
  double actual_pressure = 0.0;
  double actual_output = 0.0;
  double fraction = 0.0;
};

struct ResultFileDescription {
  ResultFileForm form = ResultFileForm::ModuleDate;

  // Test profile as tested.
  std::string profile_id = "3pointtest";
  std::string profile_type = "Ascending";  // "Custom" adds the fraction to every point
  bool leak_test = false;
  std::vector<ResultPoint> points;
  // The point count written in the header; the number of points when unset. Lets a
  // file claim more (or fewer) points than it holds.
  std::optional<uint32_t> point_count;

  // UUT as tested: the header takes its test settings and ranges (InputUnits is the
  // pressure unit code), the UUT extension its re-cal accuracy, system volume, the four
  // descriptive texts and the five level names.
  UUT uut;

  // Trailer.
  OleDateTime date_tested;
  bool as_found = true;
  double leak_value = 0.0;

  // Operator section.
  std::string operator_id;
  std::string operator_password;

  // Instrument section.
  OleDateTime calibrator_cal_date;
  int32_t reference_location = 0;
  std::string module_serial_number;
  std::string calibrator_serial_number;

  // Module date section.
  OleDateTime module_cal_date;
  std::string spare_text;
};

// Field widths, in characters, of the calibrator's fixed-width texts.
inline constexpr int kResultProfileIdWidth = 32;
inline constexpr int kResultProfileTypeWidth = 16;
inline constexpr int kResultUutTypeWidth = 8;
inline constexpr int kResultDefaultProfileWidth = 32;
inline constexpr int kResultUutIdWidth = 32;
inline constexpr int kResultOutputUnitWidth = 8;
inline constexpr int kResultPressureUnitWidth = 8;
inline constexpr int kResultExtensionWidths[9] = {32, 16, 8, 24, 8, 8, 8, 8, 8};

// A realistic As Found result of the current form: UUT "PT-1001", -250 to +250 "Pa"
// giving 4 to 20 mA, accuracy 0.25 %FS, tested at the 5 points of "5pointtest"
// ("Ascending") with every point passing, no leak test, all sections filled in.
ResultFileDescription DefaultResultFileDescription();

// The bytes of the described result file.
std::string BuildResultFile(const ResultFileDescription& desc);

// Writes the described result file to a host path, creating its folders; throws
// veld::FileError when it cannot be written.
void WriteResultFile(const std::string& host_path, const ResultFileDescription& desc);

}  // namespace veld::test
