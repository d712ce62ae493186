#include "support/result_file_writer.h"

#include <algorithm>
#include <filesystem>

#include "platform/binary_file.h"
#include "platform/byte_stream.h"
#include "records/fixed_string.h"

namespace veld::test {
namespace {

constexpr size_t kMaxShortTextLength = 255;

void WriteDate(ByteWriter& out, const OleDateTime& date) {
  out.I32(static_cast<int32_t>(date.GetStatus()));
  out.F64(date.Value());
}

void WriteShortText(ByteWriter& out, const std::string& text) {
  const size_t length = std::min(text.size(), kMaxShortTextLength);
  out.U8(0xFF);
  out.U16(0xFFFE);
  out.U8(static_cast<uint8_t>(length));
  for (size_t i = 0; i < length; ++i) out.U16(static_cast<uint8_t>(text[i]));
}

bool IsCustom(const ResultFileDescription& desc) { return desc.profile_type == "Custom"; }

void WriteHeader(ByteWriter& out, const ResultFileDescription& desc) {
  const UUT& uut = desc.uut;
  const uint32_t count = desc.point_count.value_or(static_cast<uint32_t>(desc.points.size()));
  WriteFixedString(out, desc.profile_id, kResultProfileIdWidth);
  out.U32(count);
  out.U32(desc.leak_test ? 1 : 0);
  WriteFixedString(out, desc.profile_type, kResultProfileTypeWidth);
  out.F64(uut.Excitation);
  WriteFixedString(out, uut.OutputType, kResultUutTypeWidth);
  out.I32(uut.SettlingTime);
  out.F64(uut.ControlStability);
  out.F64(uut.Accuracy);
  out.F64(uut.MaxLeakRate);
  WriteFixedString(out, uut.DefaultTestProfile, kResultDefaultProfileWidth);
  WriteFixedString(out, uut.ID, kResultUutIdWidth);
  WriteDate(out, uut.CalibrationDueDate);
  WriteFixedString(out, uut.OutputUnits, kResultOutputUnitWidth);
  WriteFixedString(out, uut.InputUnits, kResultPressureUnitWidth);
  out.F64(uut.OutputSpan);
  out.F64(uut.OutputOffset);
  out.F64(uut.InputSpan);
  out.F64(uut.InputOffset);
}

void WritePoints(ByteWriter& out, const ResultFileDescription& desc) {
  for (const ResultPoint& point : desc.points) {
    out.F64(point.actual_pressure);
    out.F64(point.actual_output);
    if (IsCustom(desc)) out.F64(point.fraction);
  }
}

void WriteTrailer(ByteWriter& out, const ResultFileDescription& desc) {
  WriteDate(out, desc.date_tested);
  out.U32(0);  // unused
  out.U32(desc.as_found ? 1 : 0);
  out.F64(desc.leak_value);
}

void WriteOperator(ByteWriter& out, const ResultFileDescription& desc) {
  WriteShortText(out, desc.operator_id);
  WriteShortText(out, desc.operator_password);
}

void WriteInstrument(ByteWriter& out, const ResultFileDescription& desc) {
  WriteDate(out, desc.calibrator_cal_date);
  out.I32(desc.reference_location);
  WriteShortText(out, desc.module_serial_number);
  WriteShortText(out, desc.calibrator_serial_number);
}

void WriteUutExtension(ByteWriter& out, const ResultFileDescription& desc) {
  const UUT& uut = desc.uut;
  out.F64(uut.ReCalAccuracy);
  out.F64(uut.SystemVolume);
  const std::string* texts[9] = {&uut.SerialNumber, &uut.PartNumber,    &uut.Model,
                                 &uut.Manufacturer, &uut.LevelNames[0], &uut.LevelNames[1],
                                 &uut.LevelNames[2], &uut.LevelNames[3], &uut.LevelNames[4]};
  for (int i = 0; i < 9; ++i) WriteFixedString(out, *texts[i], kResultExtensionWidths[i]);
}

void WriteModuleDate(ByteWriter& out, const ResultFileDescription& desc) {
  WriteDate(out, desc.module_cal_date);
  WriteShortText(out, desc.spare_text);
}

}  // namespace

ResultFileDescription DefaultResultFileDescription() {
  ResultFileDescription desc;
  desc.profile_id = "5pointtest";
  desc.profile_type = "Ascending";

  UUT& uut = desc.uut;
  uut.ID = "PT-1001";
  uut.SetOutputType("CSOU");
  uut.Excitation = 24.0;
  uut.SettlingTime = 5000;
  uut.ControlStability = 0.0003;
  uut.Accuracy = 0.25;
  uut.MaxLeakRate = 0.0003;
  uut.DefaultTestProfile = "5pointtest";
  uut.CalibrationDueDate = OleDateTime(2025, 6, 30, 0, 0, 0);
  uut.InputUnits = "Pa";
  uut.InputOffset = -250.0;
  uut.InputSpan = 500.0;
  uut.OutputOffset = 4.0;
  uut.OutputSpan = 16.0;
  uut.ReCalAccuracy = 0.5;
  uut.SystemVolume = 64.0;
  uut.SerialNumber = "SN-48213";
  uut.PartNumber = "DPT-250PA-C";
  uut.Model = "DPT250";
  uut.Manufacturer = "Example Sensors";

  // Slightly off the ideal 4, 8, 12, 16, 20 mA, each well within 0.25 %FS.
  desc.points = {{-250.0, 4.0021, 0.0}, {-125.0, 8.0034, 0.25}, {0.0, 11.9987, 0.5},
                 {125.0, 16.0049, 0.75}, {250.0, 20.0012, 1.0}};

  desc.date_tested = OleDateTime(2024, 6, 14, 10, 32, 5);
  desc.as_found = true;
  desc.leak_value = 0.0;
  desc.operator_id = "OP1234";
  desc.operator_password = "calib";
  desc.calibrator_cal_date = OleDateTime(2024, 1, 15, 0, 0, 0);
  desc.reference_location = 1;
  desc.module_serial_number = "PM-20417";
  desc.calibrator_serial_number = "VELD-00931";
  desc.module_cal_date = OleDateTime(2024, 2, 1, 0, 0, 0);
  desc.spare_text = "";
  return desc;
}

std::string BuildResultFile(const ResultFileDescription& desc) {
  ByteWriter out;
  WriteHeader(out, desc);
  WritePoints(out, desc);
  WriteTrailer(out, desc);
  if (desc.form >= ResultFileForm::Operator) WriteOperator(out, desc);
  if (desc.form >= ResultFileForm::Instrument) WriteInstrument(out, desc);
  if (desc.form >= ResultFileForm::UutExtension) WriteUutExtension(out, desc);
  if (desc.form >= ResultFileForm::ModuleDate) WriteModuleDate(out, desc);
  return out.Take();
}

void WriteResultFile(const std::string& host_path, const ResultFileDescription& desc) {
  const std::filesystem::path parent = std::filesystem::path(host_path).parent_path();
  std::error_code ignored;  // a folder that cannot be made shows as the open's error
  if (!parent.empty()) std::filesystem::create_directories(parent, ignored);
  BinaryFile file(host_path, BinaryFile::Mode::Create);
  file.Write(BuildResultFile(desc));
}

}  // namespace veld::test
