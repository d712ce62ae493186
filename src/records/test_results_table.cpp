#include "records/test_results_table.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <utility>

#include "platform/binary_file.h"
#include "platform/byte_stream.h"
#include "platform/file_error.h"
#include "platform/format.h"
#include "records/fixed_string.h"
#include "units/pressure_units.h"

namespace veld {
namespace {

// The byte count that places the optional sections assumes the calibrator's header,
// whose texts are fixed-width fields of 136 characters in all, whatever a file holds.
constexpr uint64_t kAssumedHeaderBytes = 388;
constexpr uint64_t kStandardPointBytes = 16;
constexpr uint64_t kCustomPointBytes = 24;
constexpr uint64_t kTrailerBytes = 28;
constexpr uint64_t kDateBytes = 12;
constexpr uint64_t kShortTextPrefixBytes = 4;
// Nine fixed-width texts of 32, 16, 8, 24, 8, 8, 8, 8 and 8 characters plus two doubles.
constexpr uint64_t kUutExtensionBytes = 292;
constexpr size_t kMinimumFileBytes = 4;

const char* const kCustomType = "Custom";

OleDateTime ReadDate(ByteReader& in) {
  const int32_t status = in.I32();
  const double date = in.F64();
  return OleDateTime(date, static_cast<OleDateTime::Status>(status));
}

std::string ReadTrimmedText(ByteReader& in) { return TrimString(ReadArchiveString(in)); }

// A short text: four prefix bytes whose last is the count N, then N 16-bit units of
// which every non-zero byte counts as one character. Adds its size to the byte count.
std::string ReadShortText(ByteReader& in, uint64_t& count) {
  const std::string_view prefix = in.Bytes(kShortTextPrefixBytes);
  const uint64_t units = static_cast<uint8_t>(prefix[3]);
  const std::string_view body = in.Bytes(2 * units);
  std::string text;
  for (char byte : body) {
    if (byte != '\0') text.push_back(byte);
  }
  count += kShortTextPrefixBytes + 2 * units;
  return text;
}

std::string FormatNumber(double value) { return Format("%.4f", value); }

class ResultFileParser {
 public:
  using Columns = TestResultsTable::Columns;

  ResultFileParser(std::string_view bytes, const std::string& path, TestResults& results, Columns columns)
      : in_(bytes, path), length_(bytes.size()), results_(results), columns_(columns) {}

  void Parse() {
    ReadHeader();
    ReadPoints();
    ReadTrailer();
    ReadOptionalSections();
  }

 private:
  bool IsCustom() const { return results_.Profile.ProfileType == kCustomType; }

  void ReadHeader() {
    UUT& uut = results_.Uut;
    TestProfile& profile = results_.Profile;
    profile.ID = ReadTrimmedText(in_);
    point_count_ = in_.U32();
    profile.LeakTest = in_.U32() != 0;
    profile.ProfileType = ReadTrimmedText(in_);
    uut.Excitation = in_.F64();
    uut.SetOutputType(ReadTrimmedText(in_));
    uut.SettlingTime = in_.I32();
    uut.ControlStability = in_.F64();
    uut.Accuracy = in_.F64();
    uut.MaxLeakRate = in_.F64();
    uut.DefaultTestProfile = ReadTrimmedText(in_);
    uut.ID = ReadTrimmedText(in_);
    uut.CalibrationDueDate = ReadDate(in_);
    uut.SetOutputUnits(ReadTrimmedText(in_));
    uut.InputUnits = ReadTrimmedText(in_);
    results_.UnitFactor = PressureUnitFactor(uut.InputUnits);
    uut.OutputSpan = in_.F64();
    uut.OutputOffset = in_.F64();
    uut.InputSpan = in_.F64();
    uut.InputOffset = in_.F64();
    count_ = kAssumedHeaderBytes;
  }

  // The count comes from the file: it is checked against the bytes that remain before
  // anything is sized by it, so a file claiming more points than it holds allocates
  // nothing for them and ends with an end-of-file error.
  void CheckPointCount(uint64_t point_bytes) const {
    const bool beyond_file = point_count_ > in_.Remaining() / point_bytes;
    const bool beyond_record = point_count_ > static_cast<uint64_t>(std::numeric_limits<int32_t>::max());
    if (beyond_file || beyond_record) throw FileError(FileError::Cause::EndOfFile, in_.path());
  }

  void ReadPoints() {
    const bool custom = IsCustom();
    const uint64_t point_bytes = custom ? kCustomPointBytes : kStandardPointBytes;
    CheckPointCount(point_bytes);
    const int n = static_cast<int>(point_count_);
    results_.Profile.NumberOfPoints = n;
    if (custom) results_.Profile.GeneratePoints(n, true, kCustomType);
    Reserve(static_cast<size_t>(n));
    for (int i = 1; i <= n; ++i) {
      const double actual_pressure = in_.F64();
      const double actual_output = in_.F64();
      if (custom) {
        const double fraction = in_.F64();
        results_.Profile.SetCustomPoint(i, fraction);
        AppendCustomRow(i, actual_pressure, actual_output, fraction);
      } else {
        AppendStandardRow(i, actual_pressure, actual_output);
      }
    }
    count_ += point_count_ * point_bytes;
  }

  void Reserve(size_t n) {
    results_.PassFailText.reserve(n);
    if (columns_ == Columns::VerdictsAndErrors) results_.ErrorFS.reserve(n);
    if (columns_ != Columns::All) return;
    for (auto* column : {&results_.PointNumberText, &results_.TargetPressureText, &results_.ActualPressureText,
                         &results_.TargetOutputText, &results_.ActualOutputText, &results_.ErrorText}) {
      column->reserve(n);
    }
    results_.ActualPressure.reserve(n);
    results_.ActualOutput.reserve(n);
    results_.ErrorFS.reserve(n);
  }

  // Standard profiles: the target pressure is the profile's point, the target output
  // the ideal output at the pressure actually applied (without the unit factor).
  void AppendStandardRow(int i, double a, double b) {
    const UUT& uut = results_.Uut;
    const double factor = results_.UnitFactor;
    const double target_pressure = results_.Profile.PointPressure(i, uut) * factor;
    const double target_output = uut.OutputSpan / uut.InputSpan * (a - uut.InputOffset) + uut.OutputOffset;
    AppendRow(i, target_pressure, target_output, a, b);
  }

  // "Custom" profiles: both targets come from the point's own fraction.
  void AppendCustomRow(int i, double a, double b, double f) {
    const UUT& uut = results_.Uut;
    const double factor = results_.UnitFactor;
    const double target_pressure = (f * uut.InputSpan + uut.InputOffset) * factor;
    const double target_output = f * uut.OutputSpan + uut.OutputOffset;
    AppendRow(i, target_pressure, target_output, a, b);
  }

  void AppendRow(int i, double target_pressure, double target_output, double a, double b) {
    // At the pressure as stored, as the target output is: the ranges are in the file's
    // own unit, and the factor only scales the pressures shown.
    const double error = results_.Uut.ErrorPercentFS(a, b);
    results_.PassFailText.push_back(PointPasses(error, results_.Uut.Accuracy) ? "P" : "F");
    // Formatting the texts is most of the cost of a read; the listings do without them.
    if (columns_ == Columns::VerdictsAndErrors) results_.ErrorFS.push_back(error);
    if (columns_ != Columns::All) return;
    results_.PointNumberText.push_back(Format("%i", i));
    results_.TargetPressureText.push_back(FormatNumber(target_pressure));
    results_.TargetOutputText.push_back(FormatNumber(target_output));
    results_.ActualPressureText.push_back(FormatNumber(a * results_.UnitFactor));
    results_.ActualOutputText.push_back(FormatNumber(b));
    results_.ErrorText.push_back(FormatNumber(error));
    results_.ActualPressure.push_back(a);
    results_.ActualOutput.push_back(b);
    results_.ErrorFS.push_back(error);
  }

  void ReadTrailer() {
    results_.DateTimeTested = ReadDate(in_);
    in_.U32();  // not used
    results_.AsFound = in_.U32() != 0;
    results_.LeakValue = in_.F64();
    count_ += kTrailerBytes;
  }

  // Later calibrator versions append sections; which ones a file holds is decided by
  // the byte count against the file's length, each section read only while the count
  // is still below it.
  void ReadOptionalSections() {
    if (count_ < length_) ReadOperator();
    if (count_ < length_) ReadInstrument();
    if (count_ < length_) ReadUutExtension();
    if (count_ != length_) ReadModuleDate();
  }

  void ReadOperator() {
    results_.Op.ID = ReadShortText(in_, count_);
    results_.Op.Password = ReadShortText(in_, count_);
  }

  void ReadInstrument() {
    results_.CalibratorCalDate = ReadDate(in_);
    results_.ReferenceLocation = in_.I32();
    count_ += kDateBytes + 4;
    results_.ModuleSerialNumber = ReadShortText(in_, count_);
    results_.CalibratorSerialNumber = ReadShortText(in_, count_);
  }

  void ReadUutExtension() {
    UUT& uut = results_.Uut;
    uut.ReCalAccuracy = in_.F64();
    uut.SystemVolume = in_.F64();
    uut.SerialNumber = CutAtNul(ReadArchiveString(in_));
    uut.PartNumber = CutAtNul(ReadArchiveString(in_));
    uut.Model = CutAtNul(ReadArchiveString(in_));
    uut.Manufacturer = CutAtNul(ReadArchiveString(in_));
    // The five texts after the manufacturer are the UUT's level names; kept, not used.
    for (std::string& name : uut.LevelNames) name = CutAtNul(ReadArchiveString(in_));
    count_ += kUutExtensionBytes;
  }

  void ReadModuleDate() {
    results_.ModuleCalDate = ReadDate(in_);
    uint64_t ignored = 0;
    results_.SpareText = ReadShortText(in_, ignored);
  }

  ByteReader in_;
  uint64_t length_;
  TestResults& results_;
  Columns columns_;
  uint64_t point_count_ = 0;
  uint64_t count_ = 0;
};

}  // namespace

double TestResultsTable::PressureUnitFactor(const std::string& unit_name) const {
  return veld::PressureUnitFactor(unit_name);
}

bool TestResultsTable::ReadFile(TestResults& results, const std::string& host_path) {
  return ReadFile(results, host_path, Columns::All);
}

bool TestResultsTable::ReadFile(TestResults& results, const std::string& host_path, Columns columns) {
  results.ClearColumns();
  BinaryFile file;
  if (!file.TryOpen(host_path, BinaryFile::Mode::Read)) {
    // A file that is not there leaves the record as it was; one that is there but fails
    // to open (a failing disk) is an error, not a result without values.
    if (errno == ENOENT || errno == ENOTDIR || errno == EISDIR) return false;
    throw FileErrorFromErrno(errno, host_path);
  }
  const FileBytes bytes = file.ReadAll();
  file.Close();
  if (bytes.size() < kMinimumFileBytes) return false;

  // Parsed into a copy so that a file cut short leaves the record as it was rather than
  // half overwritten with another test's values.
  TestResults scratch = results;
  ResultFileParser(bytes, host_path, scratch, columns).Parse();
  results = std::move(scratch);
  return true;
}

bool OverallPass(const TestResults& results) {
  for (const std::string& verdict : results.PassFailText) {
    if (verdict == "F") return false;
  }
  // Written so that a NaN leak value fails.
  if (results.Profile.LeakTest) return results.LeakValue >= results.Uut.MaxLeakRate;
  return true;
}

}  // namespace veld
