#include <gtest/gtest.h>


#include "platform/file_error.h"
#include "platform/host_path.h"
#include "records/raw_fields.h"
#include "records/uut_table.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using namespace std::string_literals;
using Ids = std::vector<std::string>;
constexpr size_t kRecord = 568;
constexpr size_t kOld = 276;

// Records are built here byte by byte from the file format (raw_fields.h).
using test::FixedField;
using test::RawRecord;
std::string DoubleBytes(double value) { return test::LittleEndian(std::vector<double>{value}); }

std::string OldRecord(const std::string& id, double excitation, const std::string& type = "4WIR") {
  return RawRecord(id, kOld).Put(0, DoubleBytes(excitation)).Text(8, 8, type).Text(204, 8, "VDC").bytes;
}

UUT WithId(const std::string& id) {
  UUT uut;
  uut.ID = id;
  return uut;
}

class UutTableTest : public test::TempRootTest {
 protected:
  UutTableTest() { test::MakeParentFolders(TablePath()); }
  std::string TablePath() const { return HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"); }
  std::string BackupPath() const { return HostPath("C:\\VELD\\PC\\UUT\\UUTTable_Backup.dat"); }
  std::string Table() const { return test::ReadBytes(TablePath()); }
  void WriteTable(const std::string& bytes) const { test::WriteBytes(TablePath(), bytes); }
  Ids Combo() {
    VectorListTarget combo;
    table_.FillCombo(combo);
    return combo.items;
  }
  UUT Loaded(const std::string& id) {
    UUT uut = WithId(id);
    table_.LoadRecord(uut);
    return uut;
  }
  std::string Corrupted() const { return "UUT table corrupted!!\r\n" + TablePath(); }

  test::RecordingPrompter prompter_;
  CUUTTable table_{prompter_};
};

TEST_F(UutTableTest, OpenCreatesTwoBuiltInRecordsDecodedFromTheirPartNumbers) {
  table_.Open();
  const std::string bytes = Table();
  ASSERT_EQ(bytes.size(), 1136u);
  EXPECT_EQ(bytes.substr(136, 6), "\xFF\xFE\xFF\x20" "7\0"s);
  EXPECT_EQ(Combo(), (Ids{"7395R25WB2DQ8C", "73950R5WB2DQ8C"}));
  EXPECT_EQ(bytes.substr(468, 20), FixedField("", 8));  // reserved fields are empty
  const UUT uut = Loaded("73950R5WB2DQ8C");  // its settings come from the part number
  EXPECT_EQ(uut.InputUnits + uut.OutputType + uut.OutputUnits + uut.DefaultTestProfile, "inWC3WIRVDC3pointtest");
}

TEST_F(UutTableTest, PressuresAreStoredInPascalsTextsCutAndIdsThatWouldNotReadBackRefused) {
  WriteTable("");  // an empty file is a table without records
  table_.SaveRecord(WithId(std::string(33, 'I')));
  table_.SaveRecord(WithId("AB\0C"s));
  EXPECT_EQ(prompter_.Texts(), (Ids{"UUT ID is longer than 32 characters.  The profile was not saved.",
                                    "UUT ID contains a NUL character.  The profile was not saved."}));
  UUT uut = WithId(std::string(32, 'I'));
  uut.Model = "ABCDEFGHIJKL";
  uut.MaxLeakRate = 0.002;
  uut.Accuracy = 0.25;  // not a pressure
  uut.CalibrationDueDate = OleDateTime(40000.5, OleDateTime::null);
  table_.SaveRecord(uut);
  const std::string record = Table();
  EXPECT_EQ(record.substr(40, 16), DoubleBytes(0.25) + DoubleBytes(0.002 * 248.642103));
  EXPECT_EQ(record.substr(124, 12), "\x02\0\0\0"s + DoubleBytes(40000.5));
  EXPECT_EQ(record.substr(260, 16), DoubleBytes(0.5 * 248.642103) + DoubleBytes(-0.25 * 248.642103));
  const UUT back = Loaded(std::string(32, 'I'));
  EXPECT_EQ(back.Model, "ABCDEFGH");
  EXPECT_DOUBLE_EQ(back.MaxLeakRate, 0.002);
  EXPECT_EQ(back.CalibrationDueDate.GetStatus(), OleDateTime::null);
}

TEST_F(UutTableTest, LoadAndSaveTheFirstEqualIdInPlaceOrAppendAndIdsAreCaseSensitive) {
  const std::string second = RawRecord("A").Text(292, 32, "second").bytes;
  WriteTable(RawRecord("A").Text(292, 32, "first").Text(8, 8, "CSOU").bytes + second);
  UUT uut = WithId("A");
  uut.LevelNames[0] = "kept";  // not stored in the table
  table_.LoadRecord(uut);
  // The stored output unit (empty) replaces the "mA" that the type derives.
  EXPECT_EQ(uut.SerialNumber + "|" + uut.OutputType + "|" + uut.OutputUnits + "|" + uut.LevelNames[0],
            "first|CSOU||kept");
  uut.SerialNumber = "new";
  table_.SaveRecord(uut);
  EXPECT_EQ(Loaded("A").SerialNumber, "new");
  EXPECT_EQ(Table().substr(kRecord), second);
  table_.SaveRecord(WithId("a"));
  table_.DeleteRecord(WithId("a"));
  EXPECT_EQ(Combo(), (Ids{"A", "A"}));
}

TEST_F(UutTableTest, DeleteMovesTheLastRecordIntoTheGap) {
  WriteTable("");
  for (const char* id : {"A", "B", "C", "D"}) table_.SaveRecord(WithId(id));
  const std::string before = Table();
  table_.DeleteRecord(WithId("B"));
  EXPECT_EQ(Table(), before.substr(0, kRecord) + before.substr(3 * kRecord) + before.substr(2 * kRecord, kRecord));
  table_.DeleteRecord(WithId("C"));  // the last record: the file just shortens
  EXPECT_EQ(Combo(), (Ids{"A", "D"}));
}

// Many UUTs stored at once give the bytes that storing them one by one gives: the first
// record of an ID replaced in place with its own reserved fields, new IDs appended.
TEST_F(UutTableTest, SavingManyAtOnceWritesWhatSavingEachWouldAndNothingWhenOneIsRefused) {
  const std::string initial = RawRecord("A").Put(468, std::string(100, '\x5A')).bytes + RawRecord("B").bytes +
                              RawRecord("A").Text(292, 32, "second A").bytes;
  WriteTable(initial);
  std::vector<UUT> uuts = table_.ReadAllRecords();
  ASSERT_EQ(uuts.size(), 3u);
  EXPECT_EQ(uuts[2].ID + "|" + uuts[2].SerialNumber, "A|second A");  // every record, duplicates included
  uuts[1].Model = "changed";
  uuts[0].InputSpan = 7.5;
  uuts.erase(uuts.begin() + 2);
  uuts.push_back(WithId("NEW"));
  for (const UUT& uut : uuts) table_.SaveRecord(uut);
  const std::string one_by_one = Table();
  // Raw bytes the desktop never interprets: each replaced record keeps its own, a new one
  // gets empty fields.
  EXPECT_EQ(one_by_one.substr(468, 100), std::string(100, '\x5A'));
  EXPECT_EQ(one_by_one.substr(kRecord + 468, 100), std::string(100, '\0'));
  EXPECT_EQ(one_by_one.substr(3 * kRecord + 548, 20), FixedField("", 8));

  WriteTable(initial);
  EXPECT_TRUE(table_.SaveRecords(uuts));
  EXPECT_EQ(Table(), one_by_one);
  EXPECT_EQ(Table().size(), 4 * kRecord);

  uuts.push_back(WithId(std::string(33, 'L')));
  WriteTable(initial);
  EXPECT_FALSE(table_.SaveRecords(uuts));
  EXPECT_EQ(Table(), initial);
  EXPECT_EQ(prompter_.Texts(), Ids{"UUT ID is longer than 32 characters.  The profile was not saved."});
}

TEST_F(UutTableTest, APartialRecordWarnsOnLoadAndRefusesSaveAndDelete) {
  const std::string bytes = RawRecord("A").Text(292, 32, "sn").bytes + std::string(100, 'x');
  WriteTable(bytes);
  EXPECT_EQ(Loaded("A").SerialNumber, "sn");
  table_.SaveRecord(WithId("B"));
  table_.DeleteRecord(WithId("A"));
  EXPECT_EQ(Table(), bytes);
  EXPECT_EQ(prompter_.Texts(), (Ids{"Table error:  CUUTTable::LoadRecord", Corrupted(), Corrupted()}));
}

// A later record wins for a shared ID.
TEST_F(UutTableTest, OpenConvertsAnOldTableAndKeepsItAsBackup) {
  const std::string old =
      OldRecord("A", 12.0) + OldRecord("B", 15.0) + OldRecord("C", 18.0) + OldRecord("A", 24.0, "3WIR");
  ASSERT_EQ(old.size(), 4 * kOld);
  WriteTable(old);
  table_.Open();
  const std::string bytes = Table();
  EXPECT_EQ(bytes.size(), 3 * kRecord);
  EXPECT_EQ(test::ReadBytes(BackupPath()), old);
  EXPECT_EQ(Combo(), (Ids{"A", "B", "C"}));
  EXPECT_EQ(Loaded("A").Excitation, 24.0);
  EXPECT_EQ(Loaded("A").OutputType, "3WIR");
  // Numbers move over unchanged (up to the first text that is rewritten in full width);
  // the new fields get their defaults.
  EXPECT_EQ(bytes.substr(kRecord, 56), old.substr(kOld, 56));
  EXPECT_EQ(bytes.substr(2 * kRecord + 276, 16), DoubleBytes(0.5) + DoubleBytes(64.0));
  table_.ConvertOldTable();  // a current table is left alone
  EXPECT_EQ(Table(), bytes);
  // Another old table finds the backup name taken: it is kept under the next free one,
  // and kept only once however often it is converted.
  const std::string backup_2 = HostPath("C:\\VELD\\PC\\UUT\\UUTTable_Backup_2.dat");
  for (int conversion = 0; conversion < 2; ++conversion) {
    WriteTable(OldRecord("A", 12.0));
    table_.ConvertOldTable();
    EXPECT_EQ(Table().size(), kRecord);
  }
  EXPECT_EQ(test::ReadBytes(BackupPath()), old);
  EXPECT_EQ(test::ReadBytes(backup_2), OldRecord("A", 12.0));
  EXPECT_FALSE(test::FileExists(HostPath("C:\\VELD\\PC\\UUT\\UUTTable_Backup_3.dat")));
}

TEST_F(UutTableTest, TablesThatCannotBeReadAsEitherFormatAreReportedAndLeftUntouched) {
  // Too short for one old record, a multiple of neither record size (844 is a current
  // record and an old one), or an old ID too long for a converted record.
  for (const std::string& bytes :
       {std::string(1, '\0'), std::string(275, '\0'), std::string(569, '\0'), std::string(844, '\0'),
        RawRecord("", kOld).Put(136, "\x28" + std::string(40, 'L')).bytes + OldRecord("B", 5.0)}) {
    prompter_.entries.clear();
    WriteTable(bytes);
    table_.Open();
    EXPECT_EQ(Table(), bytes);
    EXPECT_EQ(prompter_.Texts(), Ids{Corrupted()}) << bytes.size();
  }
  const std::string old = OldRecord("A", 12.0) + RawRecord("B", kOld).Put(204, "\xFF\x00\x01"s).bytes;
  WriteTable(old);  // a malformed old record stops the conversion before anything changes
  EXPECT_THROW(table_.Open(), FileError);
  EXPECT_EQ(Table(), old);
  EXPECT_FALSE(test::FileExists(BackupPath()));
}

// A count that runs past its field (the ID at 136 or the serial number at 292) fails
// every operation before it writes: the reader's own tests go through every prefix form.
TEST_F(UutTableTest, CountsPastTheirFieldFailEveryOperation) {
  const std::string ff7(7, '\xFF');
  for (const auto& [offset, field] : std::vector<std::pair<size_t, std::string>>{
           {136, "\xC8"}, {136, "\xFF\xFE\xFF\x21"}, {136, ff7 + std::string(8, '\xFF')},
           {136, "\xFF\xFE\xFF"s + ff7 + "\0\0\0\0\0\0\0\x80"s}, {292, ff7 + std::string(8, '\xFF')}}) {
    const std::string bytes = RawRecord("A").Put(offset, field).bytes;
    WriteTable(bytes);
    EXPECT_THROW(Loaded("A"), FileError) << testing::PrintToString(field);
    EXPECT_THROW(table_.SaveRecord(WithId("B")), FileError);
    EXPECT_THROW(table_.DeleteRecord(WithId("A")), FileError);
    EXPECT_THROW(Combo(), FileError);
    EXPECT_EQ(Table(), bytes);
  }
}

}  // namespace
}  // namespace veld
