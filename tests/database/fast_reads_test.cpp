// Reads that take only what their caller needs: a result file read for its verdicts (the
// listings) or its verdicts and errors (the drift history), the listing that reads each
// file only as far as its row needs, and the UUT table's search that decodes only the IDs.
// Each must leave its record as a full read leaves it, and fail exactly where it fails.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "database/database.h"
#include "database/results_index.h"
#include "platform/file_error.h"
#include "platform/format.h"
#include "platform/host_path.h"
#include "records/raw_fields.h"
#include "records/test_results_table.h"
#include "records/uut_table.h"
#include "support/recording_prompter.h"
#include "support/result_fields.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using test::ResultFileDescription;
using Columns = TestResultsTable::Columns;
using Names = std::vector<std::string>;

// Runs a read; answers the error that ended it, or "" when none did.
std::string ErrorOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const FileError& error) {
    return std::string("error: ") + error.what() + "\n";
  }
  return "";
}

std::string ResultPath(const std::string& name) { return HostPath("C:\\VELD\\PC\\TestResults\\" + name); }

// --- Result files ---------------------------------------------------------------------

// A record that held another result before, so that fields a file lacks show.
TestResults EarlierRecord() {
  TestResults earlier;
  earlier.Op.ID = "EARLIER";
  earlier.ModuleSerialNumber = "EARLIER-MOD";
  earlier.Uut.SerialNumber = "EARLIER-SN";
  earlier.Uut.LevelNames[2] = "EARLIER-LEVEL";
  earlier.SpareText = "EARLIER-SPARE";
  earlier.Profile.CustomPoints = {0.5, 0.5};
  earlier.PointNumberText = {"9"};
  earlier.PassFailText = {"F"};
  return earlier;
}

// What a read of the file with these columns leaves of the earlier record: every field but
// the point columns, the verdicts, and the errors when asked for.
std::string ReadResult(const std::string& name, Columns columns, bool errors = false) {
  TestResults record = EarlierRecord();
  std::string text = ErrorOf([&] { TestResultsTable().ReadFile(record, ResultPath(name), columns); });
  text += test::DescribeFields(record, false);
  for (double error : errors ? record.ErrorFS : std::vector<double>{}) text += Format(" %.17g", error);
  return text;
}

ResultFileDescription Current(const std::string& uut_id, const std::string& operator_id, bool failing) {
  ResultFileDescription desc = test::DefaultResultFileDescription();
  desc.uut.ID = uut_id;
  desc.operator_id = operator_id;
  desc.module_serial_number = "MOD-" + operator_id;
  if (failing) desc.points[2].actual_output += 1.0;
  return desc;
}

// The oldest form, "Custom", As Left: no operator, instrument, UUT extension or module
// date of its own.
ResultFileDescription OldestCustom(const std::string& uut_id) {
  ResultFileDescription desc = test::DefaultResultFileDescription();
  desc.form = test::ResultFileForm::Trailer;
  desc.uut.ID = uut_id;
  desc.profile_type = "Custom";
  desc.profile_id = "C-3";
  desc.points = {{-250.0, 4.0, 0.0}, {0.0, 13.0, 0.5}, {250.0, 20.0, 1.0}};  // 13 mA is 6.25 %FS off
  desc.as_found = false;
  desc.leak_test = true;
  desc.leak_value = 0.0001;  // below the UUT's MaxLeakRate
  return desc;
}

void PutResult(const std::string& name, const ResultFileDescription& desc) {
  test::WriteResultFile(ResultPath(name), desc);
}
void PutCutShort(const std::string& name, const ResultFileDescription& desc, size_t length) {
  test::WriteBytes(ResultPath(name), test::BuildResultFile(desc).substr(0, length));
}

// The listing of a UUT's results into the window's As Found record, with the files it
// listed; or the files read in full into the record one after another.
std::string List(const std::string& uut_id) {
  test::RecordingPrompter prompter;
  CDataBaseX pc(prompter);
  pc.SetDevice(DatabaseSide::PC);
  TestResults work;
  work.Op.ID = "BEFORE";
  VectorResultList list;
  std::string text = ErrorOf([&] { pc.ListTestResults(list, uut_id, work); });
  for (const ResultRow& row : list.rows) text += row.file_name + "\n";
  return text + test::DescribeFields(work);
}
std::string ReadInTurn(const Names& names) {
  TestResults work;
  work.Op.ID = "BEFORE";
  std::string error, listed;
  for (const std::string& name : names) {
    if (!(error = ErrorOf([&] { TestResultsTable().ReadFile(work, ResultPath(name)); })).empty()) break;
    listed += name + "\n";
  }
  return error + listed + test::DescribeFields(work);
}

// --- The UUT table --------------------------------------------------------------------

std::string UutTablePath() { return HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"); }

// A record with the serial number at 292 (a fixed-width field) and the raw bytes of the
// manufacturer's 52-byte field at 416.
std::string UutRecord(const std::string& id, const std::string& serial, const std::string& manufacturer = "") {
  return test::RawRecord(id).Text(292, 32, serial).Put(416, manufacturer).bytes;
}

// What each UUT keeps of a search for it (ID, serial number, manufacturer), then the list
// of the table's IDs: what the records decoded in full give.
std::string Search(const Names& ids) {
  test::RecordingPrompter prompter;
  CUUTTable table(prompter);
  std::string text;
  for (const std::string& id : ids) {
    UUT uut;
    uut.ID = id;
    text += ErrorOf([&] { table.LoadRecord(uut); });
    text += uut.ID + "|" + uut.SerialNumber + "|" + uut.Manufacturer + "\n";
  }
  VectorListTarget list;
  text += ErrorOf([&] { table.FillList(list); });
  for (const std::string& item : list.items) text += item + ",";
  return text;
}
// The end-of-file error of a record that runs past the table's end.
std::string PastTheEnd() { return "error: An attempt was made to access " + UutTablePath() + " past its end.\n"; }

// --- One suite --------------------------------------------------------------------------

struct FastRead {
  const char* name;
  std::function<void()> files;              // what the data root holds
  std::function<std::string()> fast, full;  // what each way leaves
};

void PrintTo(const FastRead& read, std::ostream* out) { *out << read.name; }

class FastReadTest : public test::TempRootTest, public ::testing::WithParamInterface<FastRead> {};

TEST_P(FastReadTest, LeavesWhatAFullReadLeaves) {
  GetParam().files();
  const std::string fast = GetParam().fast();
  EXPECT_EQ(fast, GetParam().full());
}

INSTANTIATE_TEST_SUITE_P(
    Reads, FastReadTest,
    ::testing::Values(
        FastRead{"VerdictsOfAPassingResult", [] { PutResult("R.DAT", Current("AB", "OP", false)); },
                 [] { return ReadResult("R.DAT", Columns::VerdictsOnly); },
                 [] { return ReadResult("R.DAT", Columns::All); }},
        FastRead{"VerdictsAndErrorsOfAFailingCustomResult", [] { PutResult("R.DAT", OldestCustom("AB")); },
                 [] { return ReadResult("R.DAT", Columns::VerdictsAndErrors, true); },
                 [] { return ReadResult("R.DAT", Columns::All, true); }},
        FastRead{"ResultCutInsideThePoints", [] { PutCutShort("R.DAT", Current("AB", "OP", false), 400); },
                 [] { return ReadResult("R.DAT", Columns::VerdictsOnly) + ReadResult("R.DAT", Columns::VerdictsAndErrors); },
                 [] { return ReadResult("R.DAT", Columns::All) + ReadResult("R.DAT", Columns::All); }},
        // Another UUT's file is never read; the Op.ID of the first file stays, the second lacks one.
        FastRead{"ListingOfAUUTsResults",
                 [] {
                   PutResult("AB_1.DAT", Current("AB", "FIRST", true));
                   PutResult("AB_2.DAT", OldestCustom("AB"));
                   PutResult("XY_1.DAT", Current("XY", "OTHER", false));
                 },
                 [] { return List("AB"); }, [] { return ReadInTurn({"AB_1.DAT", "AB_2.DAT"}); }},
        FastRead{"ListingEndedByAFileCutInTheUUTExtension",
                 [] {
                   PutResult("AB_1.DAT", Current("AB", "FIRST", false));
                   const ResultFileDescription cut = Current("AB", "SECOND", false);
                   PutCutShort("AB_2.DAT", cut, test::BuildResultFile(cut).size() - 30);
                   PutResult("AB_3.DAT", Current("AB", "THIRD", false));
                 },
                 [] { return List("AB"); }, [] { return ReadInTurn({"AB_1.DAT", "AB_2.DAT", "AB_3.DAT"}); }},
        // B's manufacturer claims 60 bytes, past its field: found before B, an error after.
        FastRead{"UutSearchPastADamagedRecord",
                 [] {
                   test::WriteBytes(UutTablePath(), UutRecord("A", "a") + UutRecord("B", "b", "\x3C") + UutRecord("C", "c"));
                 },
                 [] { return Search({"A", "C", "missing"}); },
                 [] { return "A|a|\n" + PastTheEnd() + "C||\n" + PastTheEnd() + "missing||\n" + PastTheEnd(); }},
        // B's manufacturer in a one-byte count of 8-bit characters, which fits.
        FastRead{"UutSearchThroughATextInAnotherValidForm",
                 [] {
                   test::WriteBytes(UutTablePath(),
                                    UutRecord("A", "a") + UutRecord("B", "b", "\x03" "XYZ") + UutRecord("C", "c"));
                 },
                 [] { return Search({"C", "B"}); }, [] { return std::string("C|c|\nB|b|XYZ\nC,B,A,"); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veld
