#include "reports/uut_csv.h"

#include <gtest/gtest.h>

#include <cmath>

#include "database/database.h"
#include "platform/format.h"
#include "platform/host_path.h"
#include "app/panels.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"
#include "units/pressure_units.h"

namespace veld {
namespace {

using namespace std::string_literals;

constexpr const char* kHeading =
    "ID,SerialNumber,PartNumber,Model,Manufacturer,OutputType,Excitation,InputUnits,InputOffset (in InputUnits),"
    "InputSpan (in InputUnits),OutputUnits,OutputOffset,OutputSpan,Accuracy,ReCalAccuracy,SettlingTime,SystemVolume,"
    "ControlStability (in InputUnits),MaxLeakRate (in InputUnits/s),DefaultTestProfile\r\n";

UUT MakeUUT(const std::string& id, const std::string& units, double offset, double span) {
  UUT uut;
  uut.ID = id;
  uut.InputUnits = units;
  uut.InputOffset = offset;
  uut.InputSpan = span;
  return uut;
}

// Sets one cell of the row of an ID in a file without quoted fields.
void SetCell(std::string& csv, const std::string& id, size_t column, const std::string& value) {
  const size_t row = csv.find("\r\n" + id + ",") + 2;
  size_t start = row;
  for (size_t i = 0; i < column; ++i) start = csv.find(',', start) + 1;
  const size_t end = csv.find_first_of(",\r", start);
  csv.replace(start, end - start, value);
}

// Column numbers of an export.
enum Column : size_t { kSerial = 1, kType = 5, kExcitation = 6, kUnits = 7, kSpan = 9, kAccuracy = 13 };

class UutCsvTest : public test::TempRootTest {
 protected:
  UutCsvTest() {
    pc_.SetDevice(DatabaseSide::PC);
    test::WriteBytes(TablePath(), "");
  }
  std::string TablePath() const { return HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"); }
  std::string Table() const { return test::ReadBytes(TablePath()); }
  std::string Export() { return BuildUUTCsv(pc_.ReadAllUUTs()); }
  UUTImportPlan Plan(const std::string& csv) { return PlanUUTImport(csv, pc_.ReadAllUUTs()); }
  UUT Stored(const std::string& id) {
    UUT uut;
    uut.ID = id;
    pc_.LoadUUT(uut);
    return uut;
  }
  // The problems of a plan as "line: reason" texts.
  static std::vector<std::string> Problems(const UUTImportPlan& plan) {
    std::vector<std::string> texts;
    for (const UUTImportProblem& problem : plan.problems) texts.push_back(Format("%zu: ", problem.line) + problem.reason);
    return texts;
  }

  test::RecordingPrompter prompter_;
  CDataBaseX pc_{prompter_};
};

TEST_F(UutCsvTest, ExportWritesAHeadingAndOneRowPerRecordWithPressuresInTheUUTsOwnUnit) {
  UUT kpa = MakeUUT("PT-1", "kPa", RangeFromUnit(-100, "kPa"), RangeFromUnit(200, "kPa"));
  kpa.Manufacturer = "Acme, \"Fine\" Gauges";
  kpa.SetOutputType("CSOU");
  kpa.Excitation = 24;
  kpa.MaxLeakRate = 0.25;
  UUT unknown = MakeUUT("M\xfc" "ller", "in. WC", -0.25, 0.5);  // a unit the table does not know: as stored
  ASSERT_TRUE(pc_.SaveUUTs({kpa, unknown}));
  const std::string csv = Export();
  EXPECT_EQ(csv, std::string(kHeading) +
                     "PT-1,,,,\"Acme, \"\"Fine\"\" Gauges\",CSOU,24,kPa,-100,200,mA,4,16,1,0.5,5000,64,"
                     "7.459263089999999e-05,0.06216052575,\r\n"
                     "M\xfc" "ller,,,,,CSIM,5,in. WC,-0.25,0.5,mA,4,16,1,0.5,5000,64,3e-04,3e-04,\r\n");
}

// Pressures shown in a unit do not always convert back to the very same double; a row
// that shows what a record holds must still leave its bytes as they are.
TEST_F(UutCsvTest, ExportThenImportOfTheSameFileChangesNoByte) {
  std::vector<UUT> uuts;
  int naive_misses = 0;
  const char* units[] = {"kPa", "psi", "Mpa", "INH2O4C", "INWC", "mTorr", "inWC", "in. WC"};
  for (int i = 0; i < 64; ++i) {
    const std::string unit = units[i % 8];
    UUT uut = MakeUUT(Format("U%02d", i), unit, -1.0 / (i + 3), 10.0 / 7.0 * (i + 1));
    uut.ControlStability = 1e-7 * (i + 1) / 3.0;
    uut.MaxLeakRate = std::nextafter(0.001 * (i + 1), 1.0);
    uut.OutputOffset = -0.0;
    uut.Accuracy = 0.1 * i;
    uut.SerialNumber = i % 2 ? "line\r\nbreak" : "\x01\x7f";  // held already: never checked again
    const std::vector<double UUT::*> pressures = {&UUT::InputOffset, &UUT::InputSpan, &UUT::ControlStability,
                                                  &UUT::MaxLeakRate};
    for (double UUT::*field : pressures) {
      if (RangeFromUnit(RangeInUnit(uut.*field, unit), unit) != uut.*field) ++naive_misses;
    }
    uuts.push_back(uut);
  }
  ASSERT_GT(naive_misses, 0) << "no value tests the conversion back";
  ASSERT_TRUE(pc_.SaveUUTs(uuts));
  // Reserved bytes of the calibrator's own are kept too.
  std::string bytes = Table();
  bytes.replace(468, 20, std::string(20, '\x5A'));
  test::WriteBytes(TablePath(), bytes);

  const std::string csv = Export();
  const UUTImportPlan plan = Plan(csv);
  EXPECT_TRUE(Problems(plan).empty()) << ::testing::PrintToString(Problems(plan));
  EXPECT_EQ(plan.unchanged, uuts.size());
  EXPECT_TRUE(ApplyUUTImport(pc_, plan));
  EXPECT_TRUE(Table() == bytes) << "the table changed";
  EXPECT_TRUE(Export() == csv);
}

TEST_F(UutCsvTest, EditedRowsUpdateTheirRecordsInPlaceAndNewRowsAreAppended) {
  ASSERT_TRUE(pc_.SaveUUTs({MakeUUT("A", "kPa", 0.0, 1.0), MakeUUT("B", "psi", 0.0, 1.0), MakeUUT("C", "bar", 0, 1)}));
  const std::string before = Table();
  UUT n1 = MakeUUT("N1", "psi", 0.0, 1.0);
  std::string csv = Export() + BuildUUTCsv({n1}).substr(std::string(kHeading).size());
  SetCell(csv, "B", kSerial, "SN-9");
  SetCell(csv, "A", kSpan, "50");    // 0 to 50 kPa
  SetCell(csv, "C", kUnits, "psi");  // its pressures are now read in psi
  SetCell(csv, "N1", kType, "CURR");
  SetCell(csv, "N1", kExcitation, "EXTERNAL");
  const UUTImportPlan plan = Plan(csv);
  ASSERT_TRUE(Problems(plan).empty()) << ::testing::PrintToString(Problems(plan));
  EXPECT_EQ(UUTImportChangeLines(plan, true),
            (std::vector<std::string>{"update\tA", "update\tB", "update\tC", "create\tN1"}));
  EXPECT_TRUE(Table() == before) << "planning writes nothing";
  ASSERT_TRUE(ApplyUUTImport(pc_, plan));
  EXPECT_EQ(Table().size(), 4 * 568u);
  EXPECT_DOUBLE_EQ(Stored("A").InputSpan, 50 * 1000 / kPascalsPerInchWater);
  EXPECT_EQ(Stored("B").SerialNumber, "SN-9");
  EXPECT_EQ(Table().substr(568, 292), before.substr(568, 292)) << "B's fields before the serial number keep their bytes";
  // C showed 1 inWC in bar; the same number read in psi is a larger range.
  EXPECT_DOUBLE_EQ(Stored("C").InputSpan, RangeInUnit(1.0, "bar") * 6894.757 / kPascalsPerInchWater);
  // "CURR" with external excitation is stored as the dialog stores it.
  const UUT stored_n1 = Stored("N1");
  EXPECT_EQ(stored_n1.OutputType + "|" + stored_n1.OutputUnits + "|" + Format("%g", stored_n1.Excitation), "CSIM|mA|-1");
  EXPECT_EQ(UUTImportSummary(plan, DatabaseSide::PC, false), "1 created, 3 updated, 0 unchanged in the PC database.");
  // Only the ID column is needed: the rest of a record stays as it is.
  const UUTImportPlan model_only = Plan("ID,Model\r\nA,M-7\r\n");
  ASSERT_TRUE(ApplyUUTImport(pc_, model_only));
  EXPECT_EQ(Stored("A").Model + Format("|%g", Stored("A").InputSpan * 0.248642103), "M-7|50");
}

TEST_F(UutCsvTest, OneBadRowAmongFiveHundredChangesNothingAndIsNamed) {
  std::vector<UUT> old_uuts, new_uuts;
  for (int i = 0; i < 250; ++i) old_uuts.push_back(MakeUUT(Format("OLD-%03d", i), "psi", 0, 10));
  for (int i = 0; i < 250; ++i) new_uuts.push_back(MakeUUT(Format("NEW-%03d", i), "psi", 0, i + 1));
  ASSERT_TRUE(pc_.SaveUUTs(old_uuts));
  const std::string before = Table();
  std::string csv = Export() + BuildUUTCsv(new_uuts).substr(std::string(kHeading).size());
  SetCell(csv, "NEW-069", kAccuracy, "20000");  // line 321: the heading is line 1, OLD-000 line 2
  test::WriteBytes(temp_.root() + "/uuts.csv", csv);
  const UUTImportPlan plan = PlanUUTImportFromFile(pc_, temp_.root() + "/uuts.csv");
  EXPECT_EQ(Problems(plan), std::vector<std::string>{
                                "321: Accuracy 20000 is out of range. Please enter a number between 0 and 10000. (%FS)"});
  EXPECT_TRUE(plan.changes.empty() && plan.created.empty());
  EXPECT_FALSE(ApplyUUTImport(pc_, plan));
  EXPECT_TRUE(Table() == before) << "the table changed";
  EXPECT_EQ(UUTImportProblemsText(plan, 20),
            "Nothing was imported: 1 line cannot be imported.\r\n"
            "Line 321: Accuracy 20000 is out of range. Please enter a number between 0 and 10000. (%FS).\r\n");
}

struct BadRow {
  const char* name;
  std::string csv;
  std::vector<std::string> problems;
};

class UutCsvRowTest : public UutCsvTest, public ::testing::WithParamInterface<BadRow> {};

TEST_P(UutCsvRowTest, NamesTheLineAndTheReason) {
  UUT stored = MakeUUT("OLD", "kPa", 0, 1);
  stored.Accuracy = 20000;  // held already, beyond the dialog's bound
  ASSERT_TRUE(pc_.SaveUUTs({stored}));
  const UUTImportPlan plan = Plan(GetParam().csv);
  EXPECT_EQ(Problems(plan), GetParam().problems);
}

const std::string kSome = "ID,OutputType,Excitation,InputUnits,Model,Accuracy,SettlingTime,MaxLeakRate (in InputUnits/s)\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, UutCsvRowTest,
    ::testing::Values(
        BadRow{"EmptyId", kSome + "A,3WIR,24,psi,,1,0,0.001\r\n,3WIR,24,psi,,1,0,0.001\r\n", {"3: the UUT ID is empty (Please enter a valid ID for this profile!)"}},
        BadRow{"LongId", kSome + std::string(33, 'I') + ",3WIR,24,psi,,1,0,0.001\r\n", {"2: ID \"" + std::string(33, 'I') + "\" is longer than 32 characters"}},
        BadRow{"SameIdTwice", kSome + "A,3WIR,24,psi,,1,0,0.001\r\n\r\nA,3WIR,24,psi,,1,0,0.001\r\n", {"4: the UUT ID \"A\" is also on line 2"}},
        BadRow{"TypeAndExcitation", kSome + "A,CURRENT,7,psi,,1,0,0.001\r\n", {"2: Excitation \"7\" is not one of 24VDC, 18VDC, 15VDC, 12VDC, 9VDC, 5VDC, EXTERNAL (or their volts, "
               "-1 for EXTERNAL); OutputType \"CURRENT\" is not one of CURR, 3WIR, 4WIR, DIALGAGE, P-SWITCH, CSOU, CSIM"}},
        BadRow{"NotNumbers", kSome + "A,3WIR,24,psi,,0\xb9" "5,5000.5,\r\n", {"2: Accuracy \"0\xb9" "5\" is not a number; SettlingTime \"5000.5\" is not an integer. Please enter an "
               "integer between 0 and 99999.; MaxLeakRate (in InputUnits/s) \"\" is not a number"}},
        // One sign, as the setup dialog reads it: "+0.001" is a number, "+-5" is not.
        BadRow{"TwoSigns", kSome + "A,3WIR,24,psi,,+-5,+-1,+0.001\r\n", {"2: Accuracy \"+-5\" is not a number; SettlingTime \"+-1\" is not an integer. Please enter an "
               "integer between 0 and 99999."}},
        // 0.5 kPa/s is 2.01 inWC/s, past the dialog's bound of 1 inWC/s.
        BadRow{"ConvertedBound", kSome + "A,3WIR,24,kPa,,1,100000,0.5\r\n", {"2: SettlingTime 100000 is out of range. Please enter an integer between 0 and 99999. (ms); "
               "MaxLeakRate (in InputUnits/s) 0.5 kPa/s = 2.010922502533692 inWC/s is out of range. Please enter a number "
               "between 0.000001 and 1. (inWC/s)"}},
        BadRow{"TextsThatWouldNotReadBack", kSome + "A,3WIR,24,\xb0" "C,ABCDEFGHI,1,0,0.001\r\n", {"2: Model \"ABCDEFGHI\" is longer than 8 characters; InputUnits \"\xb0" "C\" holds characters beyond "
               "ASCII, which the table does not keep"}},
        BadRow{"ControlCharacter", "ID,SerialNumber\r\nA,\"tab\there\"\r\n", {"2: SerialNumber holds a control character"}},
        // The stored accuracy beyond the bound stays acceptable while it is not changed.
        BadRow{"OnlyNewValuesAreChecked", kSome + "OLD,CSIM,5,kPa,,20000,5000,0.001\r\nNEW,CSIM,5,kPa,,20000,5000,0.001\r\n", {"3: Accuracy 20000 is out of range. Please enter a number between 0 and 10000. (%FS)"}},
        // 1e305 MPa is more inches of water than a double holds.
        BadRow{"TooLarge", "ID,InputUnits,InputSpan (in InputUnits)\r\nA,Mpa,1e305\r\nB,Mpa,1e300\r\n",
               {"2: InputSpan (in InputUnits) \"1e305\" is too large"}},
        BadRow{"FieldCount", kSome + "A,3WIR\r\n", {"2: the row has 2 fields, the heading row 8"}},
        // Reading goes on after a fault, at the next line.
        BadRow{"Quotes", "ID,Model\r\n\"A\"x,M\r\nB,M\"\r\n\"C,\r\nD,M\r\n",
               {"2: characters follow the closing quote of a field", "3: a double quote stands in a field that is not quoted",
                "4: a quoted field is not closed before the end of the file"}},
        // Old line ends, a lone CR, count as lines too.
        BadRow{"CarriageReturns", "ID,Accuracy\rA,1\rB,\"x\ry\"\rC,-1\r", {"3: Accuracy \"x\ry\" is not a number",
                                                                          "5: Accuracy -1 is out of range. Please "
                                                                          "enter a number between 0 and 10000. (%FS)"}},
        BadRow{"Heading", "Id,Model,Model,Colour\r\nA,B,C,D\r\n",
               {"1: unknown column \"Id\"", "1: the column \"Model\" stands twice", "1: unknown column \"Colour\"",
                "1: the heading row has no ID column"}},
        BadRow{"Empty", "\r\n,,\r\n", {"1: the file has no heading row"}}),
    [](const ::testing::TestParamInfo<BadRow>& info) { return std::string(info.param.name); });

// Line numbers count the lines of the file, also those inside a quoted field.
TEST_F(UutCsvTest, QuotedFieldsMayHoldLineBreaksAndUtf8WithAByteOrderMarkIsRead) {
  const std::string csv = "\xEF\xBB\xBF" "ID,Manufacturer,Model\n"
                          "\"A,1\",\"M\xC3\xBCller \"\"Prec\"\"\",X\n"
                          "\n"
                          "\"B\",\"two\nlines\",\n"
                          ",,\n"
                          "C,,\xE2\x82\xAC\n";  // a euro sign: no Latin-1 form
  EXPECT_EQ(Problems(Plan(csv)),
            (std::vector<std::string>{"4: Manufacturer holds a control character",
                                      "7: a field holds characters that the calibrator's 8-bit texts cannot hold"}));
  const UUTImportPlan good = Plan(csv.substr(0, csv.find("\n\"B\"")));
  ASSERT_TRUE(good.Acceptable());
  ASSERT_EQ(good.changes.size(), 1u);
  EXPECT_EQ(good.changes[0].ID + "|" + good.changes[0].Manufacturer, "A,1|M\xfcller \"Prec\"");
}

TEST_F(UutCsvTest, ProblemListsAreCutForAMessageBox) {
  std::string csv = "ID,Accuracy\r\n";
  for (int i = 0; i < 25; ++i) csv += Format("U%d,-1\r\n", i);
  const std::string text = UUTImportProblemsText(Plan(csv), 20);
  EXPECT_TRUE(text.starts_with("Nothing was imported: 25 lines cannot be imported.\r\nLine 2: Accuracy -1 is out"));
  EXPECT_TRUE(text.ends_with("Line 21: Accuracy -1 is out of range. Please enter a number between 0 and 10000. (%FS).\r\n"
                             "... and 5 more.\r\n"));
}

}  // namespace
}  // namespace veld
