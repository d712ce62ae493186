#include "seeds.h"

#include "fuzz_support.h"
#include "platform/binary_file.h"
#include "platform/byte_stream.h"
#include "platform/host_path.h"
#include "records/fixed_string.h"
#include "records/system_data_table.h"
#include "records/test_profile_table.h"
#include "records/uut_table.h"
#include "reports/uut_csv.h"
#include "support/recording_prompter.h"
#include "support/result_file_writer.h"

namespace veld::fuzz {
namespace {

std::string Bytes(std::initializer_list<uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); }

std::string FixedField(const std::string& text, int width) {
  ByteWriter out;
  WriteFixedString(out, text, width);
  return out.Take();
}

// A copy of bytes with one byte changed.
std::string WithByte(std::string bytes, size_t offset, uint8_t value) {
  if (offset < bytes.size()) bytes[offset] = static_cast<char>(value);
  return bytes;
}

std::string ReadHost(const std::string& logical_path) {
  return std::string(BinaryFile::ReadWholeFile(HostPath(logical_path)).view());
}

// Hand-made prefixes: every form of the length-prefixed encoding, and counts that
// claim more than the input holds.
std::vector<Seed> FixedStringSeeds() {
  std::string several = FixedField("CSOU", 8) + FixedField("3pointtest", 32) + FixedField(std::string("A\0B", 3), 4) +
                        FixedField("\xE9t\xE9", 8);
  return {
      {"fixed-id", FixedField("PT-1001", 32)},
      {"fixed-width-0", FixedField("", 0)},
      {"fixed-width-255", FixedField(std::string(255, 'A'), 255)},
      {"fixed-several", several},
      {"byte-count", Bytes({5}) + "hello"},
      {"byte-count-empty", Bytes({0})},
      {"word-count", Bytes({0xFF, 4, 0}) + "abcd"},
      {"dword-count", Bytes({0xFF, 0xFF, 0xFF, 3, 0, 0, 0}) + "abc"},
      {"qword-count", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 0, 0, 0, 0}) + "abc"},
      {"wide-word-count", Bytes({0xFF, 0xFE, 0xFF, 0xFF, 2, 0, 'h', 0, 'i', 0})},
      {"wide-above-255", Bytes({0xFF, 0xFE, 0xFF, 2, 0x41, 0x01, 0x42, 0x00})},
      {"huge-qword-count", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                  0xFF, 'x'})},
      {"huge-wide-count", Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0,
                                 0x80, 'x', 0})},
      {"count-past-end", Bytes({0xFF, 0xFE, 0xFF, 0x20, 'a', 0})},
  };
}

UUT SampleUut(const std::string& id, const std::string& type, const std::string& input_units) {
  UUT uut;
  uut.ID = id;
  uut.SetOutputType(type);
  uut.InputUnits = input_units;
  uut.SerialNumber = "SN-" + id;
  uut.PartNumber = "7395R25WB2DQ8C";
  uut.Model = "M7395";
  uut.Manufacturer = "Example Sensors";
  uut.DefaultTestProfile = "5pointtest";
  uut.CalibrationDueDate = OleDateTime(2025, 6, 30, 0, 0, 0);
  return uut;
}

// The old 276-byte records are the first 276 bytes of the current ones.
std::string OldFormat(const std::string& table) {
  std::string old;
  for (size_t at = 0; at + CUUTTable::kRecordSize <= table.size(); at += CUUTTable::kRecordSize) {
    old += table.substr(at, CUUTTable::kOldRecordSize);
  }
  return old;
}

std::vector<Seed> UutTableSeeds() {
  const ScratchRoot root;
  test::RecordingPrompter prompter;
  CUUTTable table(prompter);
  table.Open();
  const std::string fresh = ReadHost(table.LogicalPath());
  table.SaveRecord(SampleUut("PT-1001", "CSOU", "Pa"));
  table.SaveRecord(SampleUut("GAUGE-7", "DIALGAGE", "psi"));
  table.SaveRecord(SampleUut("SW-12", "P-SWITCH", "inWC"));
  const std::string saved = ReadHost(table.LogicalPath());
  const std::string old = OldFormat(saved);
  constexpr size_t kIdWidthByte = 136 + 3;  // the count byte of the second record's ID
  return {
      {"fresh", fresh},
      {"saved", saved},
      {"old-format", old},
      {"old-format-duplicate-id", old + old.substr(0, CUUTTable::kOldRecordSize)},
      {"old-format-damaged-id", WithByte(old, CUUTTable::kOldRecordSize + kIdWidthByte, 0x7F)},
      {"damaged-id", WithByte(saved, CUUTTable::kRecordSize + kIdWidthByte, 0x7F)},
      {"stray-byte", saved + Bytes({0})},
      {"too-short", Bytes({0xFF, 0xFE, 0xFF})},
      {"empty", ""},
  };
}

TestProfile CustomProfile(const std::string& id, std::vector<double> points) {
  TestProfile profile;
  profile.ID = id;
  profile.ProfileType = "Custom";
  profile.NumberOfPoints = static_cast<int32_t>(points.size());
  profile.CustomPoints = std::move(points);
  return profile;
}

std::vector<Seed> TestProfileTableSeeds() {
  const ScratchRoot root;
  test::RecordingPrompter prompter;
  TestProfileTable table(prompter);
  table.Open();
  const std::string fresh = ReadHost(table.LogicalPath());

  TestProfile custom = CustomProfile(kFuzzedProfileId, {0.0, 0.25, 0.5, 0.75, 1.0});
  const std::string custom_path = table.CustomFilePath(custom);
  table.SaveRecord(custom);
  const std::string five_points = ReadHost(custom_path);
  const std::string with_custom = ReadHost(table.LogicalPath());

  std::vector<double> many(TestProfile::kMaxPoints);
  for (size_t k = 0; k < many.size(); ++k) many[k] = static_cast<double>(k) / (many.size() - 1);
  table.SaveRecord(CustomProfile(kFuzzedProfileId, many));
  const std::string full = ReadHost(custom_path);

  TestProfile descending;
  descending.ID = kFuzzedProfileId;
  descending.ProfileType = "Descending";
  descending.NumberOfPoints = 7;
  descending.LeakTest = true;
  table.SaveRecord(descending);
  const std::string with_descending = ReadHost(table.LogicalPath());

  WriteFile(HostPath(table.LogicalPath()), "");
  table.SaveRecord(CustomProfile(kFuzzedProfileId, {0.0, 1.0, 0.5}));
  const std::string custom_only = ReadHost(table.LogicalPath());
  const std::string three_points = ReadHost(custom_path);

  constexpr size_t kIdWidthByte = 3;
  // The point count of the last record ("fz", "Custom"): a damaged count must not size
  // anything before the custom file is read.
  std::string huge_count = with_custom;
  const size_t count_at = with_custom.size() - 8;
  for (size_t k = 0; k < 4; ++k) huge_count[count_at + k] = k == 3 ? '\x7F' : '\xFF';
  return {
      {"custom-huge-count", JoinProfileInput(huge_count, five_points)},
      {"fresh", JoinProfileInput(fresh, "")},
      {"custom-5-points", JoinProfileInput(with_custom, five_points)},
      {"custom-101-points", JoinProfileInput(with_custom, full)},
      {"custom-partial-point", JoinProfileInput(with_custom, five_points + "abc")},
      {"custom-only", JoinProfileInput(custom_only, three_points)},
      {"descending", JoinProfileInput(with_descending, five_points)},
      {"damaged-id", JoinProfileInput(WithByte(with_custom, kIdWidthByte, 0x7F), five_points)},
      {"stray-bytes", JoinProfileInput(fresh + "xyz", five_points)},
      {"empty", JoinProfileInput("", "")},
  };
}

std::vector<Seed> SettingsTableSeeds() {
  const ScratchRoot root;
  test::RecordingPrompter prompter;
  SystemDataTable table(prompter);
  table.Open();
  const std::string fresh = ReadHost(table.LogicalPath());
  table.SetSetting("EngUnits", "Pa");
  table.SetSetting("LockedOut", "true");
  table.SetSetting("Operator", "OP1234");
  const std::string edited = ReadHost(table.LogicalPath());
  table.SetSetting("UseTrendGraph_TestResults", "NULL");
  const std::string with_null = ReadHost(table.LogicalPath());

  constexpr size_t kRecord = SystemDataTable::kRecordSize;
  constexpr size_t kValueWidthByte = 68 + 3;  // the count byte of a record's value
  return {
      {"fresh", fresh},
      {"edited", edited},
      {"null-value", with_null},
      {"missing-defaults", fresh.substr(0, 10 * kRecord)},
      {"damaged-value", WithByte(fresh, 5 * kRecord + kValueWidthByte, 0x7F)},
      {"damaged-first-key", WithByte(fresh, 3, 0x7F)},
      {"stray-byte", fresh + Bytes({0})},
      {"empty", ""},
  };
}

std::vector<Seed> ResultFileSeeds() {
  using test::ResultFileForm;
  const std::pair<ResultFileForm, const char*> forms[] = {
      {ResultFileForm::Trailer, "trailer"},
      {ResultFileForm::Operator, "operator"},
      {ResultFileForm::Instrument, "instrument"},
      {ResultFileForm::UutExtension, "uut-extension"},
      {ResultFileForm::ModuleDate, "module-date"},
  };
  std::vector<Seed> seeds;
  for (const auto& [form, name] : forms) {
    test::ResultFileDescription desc = test::DefaultResultFileDescription();
    desc.form = form;
    seeds.push_back({std::string("standard-") + name, test::BuildResultFile(desc)});
    desc.profile_type = "Custom";
    desc.profile_id = "fz";
    seeds.push_back({std::string("custom-") + name, test::BuildResultFile(desc)});
  }

  test::ResultFileDescription leak = test::DefaultResultFileDescription();
  leak.profile_type = "Descending";
  leak.leak_test = true;
  leak.leak_value = 0.0002;
  leak.as_found = false;
  seeds.push_back({"descending-leak", test::BuildResultFile(leak)});

  test::ResultFileDescription gauge = test::DefaultResultFileDescription();
  gauge.uut.SetOutputType("DIALGAGE");
  gauge.uut.InputUnits = "psi";
  gauge.profile_type = "Both";
  gauge.uut.LevelNames = {"L1", "L2", "L3", "L4", "L5"};
  seeds.push_back({"gauge-both", test::BuildResultFile(gauge)});

  test::ResultFileDescription zero_span = test::DefaultResultFileDescription();
  zero_span.uut.InputSpan = 0.0;
  zero_span.uut.OutputSpan = 0.0;
  seeds.push_back({"zero-spans", test::BuildResultFile(zero_span)});

  test::ResultFileDescription claims_more = test::DefaultResultFileDescription();
  claims_more.point_count = 9;
  seeds.push_back({"claims-more-points", test::BuildResultFile(claims_more)});

  test::ResultFileDescription no_points = test::DefaultResultFileDescription();
  no_points.points.clear();
  no_points.operator_id = std::string(200, 'O');
  seeds.push_back({"no-points-long-operator", test::BuildResultFile(no_points)});

  const std::string full = test::BuildResultFile(test::DefaultResultFileDescription());
  seeds.push_back({"cut-short", full.substr(0, full.size() - 1)});
  seeds.push_back({"too-short", full.substr(0, 3)});
  return seeds;
}

std::vector<Seed> PartNumberSeeds() {
  const char* const texts[] = {
      "7395R25WB2DQ8C", "73950R5WB2DQ8C", "7395r25wb2dq8c", "739501CLD11QQF", "739510KWB2EQQV",
      "7395002LDABQQH", "7395R25WX45QQZ", "short",          "12/31/2024 13:45:59", "1/5/2009",
      "31/12/2024",     "02292024 00:00:60", "-12.5",       ">>123",             "4294967296",
      "0.000000000000000000000000000001", "99999999999999999999999999999999.5", "-1-2.3.4", ":",
      "",
  };
  std::vector<Seed> seeds;
  int index = 0;
  for (const char* text : texts) seeds.push_back({"text-" + std::to_string(index++), text});
  return seeds;
}

// A file as an export writes it, a file of a few columns with edits and quoting, and files
// with the faults an import names.
std::vector<Seed> UutCsvSeeds() {
  UUT kpa;
  kpa.ID = "PT-1";
  kpa.InputUnits = "kPa";
  kpa.Manufacturer = "Acme, \"Fine\"";
  UUT plain;
  plain.ID = "NEW";
  const std::string exported = BuildUUTCsv({kpa, plain});
  return {{"export.csv", exported},
          {"columns.csv", "\xEF\xBB\xBFID,Model,Accuracy,InputUnits,InputSpan (in InputUnits)\n"
                          "PT-1,\"M\n2\",5,psi,100\nTX,\xC3\xBC,20000,Mpa,1e300\n,,,,\n"},
          {"faults.csv", "ID,ID,Excitation\r\n\"A\"x,7,\r\nB,EXTERNAL,\"open"},
          {"empty.csv", ""}};
}

}  // namespace

const std::vector<std::string>& TargetNames() {
  static const std::vector<std::string> names = {"fixed_string",  "uut_table",   "test_profile_table",
                                                 "settings_table", "result_file", "part_number", "uut_csv"};
  return names;
}

std::vector<Seed> SeedsFor(const std::string& target) {
  if (target == "fixed_string") return FixedStringSeeds();
  if (target == "uut_table") return UutTableSeeds();
  if (target == "test_profile_table") return TestProfileTableSeeds();
  if (target == "settings_table") return SettingsTableSeeds();
  if (target == "result_file") return ResultFileSeeds();
  if (target == "part_number") return PartNumberSeeds();
  if (target == "uut_csv") return UutCsvSeeds();
  return {};
}

}  // namespace veld::fuzz
