#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_error.h"
#include "platform/host_path.h"
#include "records/list_target.h"
#include "records/uut_table.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using namespace std::string_literals;
using test::ReadBytes;
using test::WriteBytes;

constexpr size_t kRecord = 568;
constexpr size_t kOld = 276;
constexpr double kPa = 248.642103;

// Records are built here byte by byte from the file format, independently of the table's
// own encoder. A zero-filled record is valid: every text reads as a one-byte count of 0.
std::string Units(const std::string& text, size_t width) {
  std::string units;
  for (size_t i = 0; i < width; ++i) {
    units += i < text.size() ? text[i] : '\0';
    units += '\0';
  }
  return units;
}

std::string TextField(const std::string& text, int width) {
  return "\xFF\xFE\xFF"s + static_cast<char>(width) + Units(text, static_cast<size_t>(width));
}

std::string DoubleBytes(double value) {
  std::string bytes(8, '\0');
  std::memcpy(bytes.data(), &value, 8);  // the hosts we build for are little-endian
  return bytes;
}

double DoubleAt(const std::string& bytes, size_t offset) {
  double value;
  std::memcpy(&value, bytes.data() + offset, 8);
  return value;
}

struct RawRecord {
  explicit RawRecord(const std::string& id, size_t size = kRecord) : bytes(size, '\0') { Text(136, 32, id); }
  RawRecord& Put(size_t offset, const std::string& field) {
    bytes.replace(offset, field.size(), field);
    return *this;
  }
  RawRecord& Text(size_t offset, int width, const std::string& text) { return Put(offset, TextField(text, width)); }
  RawRecord& Double(size_t offset, double value) { return Put(offset, DoubleBytes(value)); }
  std::string bytes;
};

class UutTableTest : public test::TempRootTest {
 protected:
  std::string TablePath() const { return HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"); }
  std::string BackupPath() const { return HostPath("C:\\VELD\\PC\\UUT\\UUTTable_Backup.dat"); }
  std::string Table() const { return ReadBytes(TablePath()); }
  void WriteTable(const std::string& bytes) const { WriteBytes(TablePath(), bytes); }
  void WriteRecords(const std::vector<std::string>& ids) const {
    std::string bytes;
    for (const std::string& id : ids) bytes += RawRecord(id).bytes;
    WriteTable(bytes);
  }
  void OpenFresh() {
    test::MakeParentFolders(TablePath());
    table_.Open();
  }
  std::vector<std::string> Combo() {
    VectorListTarget combo;
    table_.FillCombo(combo);
    return combo.items;
  }
  UUT Loaded(const std::string& id) {
    UUT uut;
    uut.ID = id;
    table_.LoadRecord(uut);
    return uut;
  }
  UUT WithId(const std::string& id) const {
    UUT uut;
    uut.ID = id;
    return uut;
  }
  std::string Corrupted() const { return "UUT table corrupted!!\r\n" + TablePath(); }

  test::RecordingPrompter prompter_;
  CUUTTable table_{prompter_};
};

TEST_F(UutTableTest, OpenCreatesTwoBuiltInRecords) {
  OpenFresh();
  const std::string bytes = Table();
  ASSERT_EQ(bytes.size(), 1136u);
  EXPECT_EQ(bytes.substr(136, 68), TextField("7395R25WB2DQ8C", 32));
  EXPECT_EQ(bytes.substr(136, 6), "\xFF\xFE\xFF\x20" "7\0"s);
  EXPECT_EQ(bytes.substr(568 + 136, 68), TextField("73950R5WB2DQ8C", 32));
  EXPECT_EQ(Combo(), (std::vector<std::string>{"7395R25WB2DQ8C", "73950R5WB2DQ8C"}));
  EXPECT_TRUE(prompter_.entries.empty());
  // Empty reserved fields, and every record exactly its size.
  for (size_t offset = 468; offset < 568; offset += 20) EXPECT_EQ(bytes.substr(offset, 20), TextField("", 8));
}

TEST_F(UutTableTest, BuiltInRecordsHoldTheDecodedSettings) {
  OpenFresh();
  for (const auto& [id, offset, span] : {std::tuple{"7395R25WB2DQ8C", -0.25, 0.5}, {"73950R5WB2DQ8C", -0.5, 1.0}}) {
    SCOPED_TRACE(id);
    const UUT uut = Loaded(id);
    EXPECT_EQ(uut.InputUnits, "inWC");
    EXPECT_DOUBLE_EQ(uut.InputOffset, offset);
    EXPECT_DOUBLE_EQ(uut.InputSpan, span);
    EXPECT_EQ(uut.OutputType, "3WIR");
    EXPECT_EQ(uut.OutputUnits, "VDC");
    EXPECT_DOUBLE_EQ(uut.OutputOffset, 0.05);
    EXPECT_DOUBLE_EQ(uut.OutputSpan, 5.0);
    EXPECT_EQ(uut.Excitation, 24.0);
    EXPECT_EQ(uut.Accuracy, 1.0);
    EXPECT_DOUBLE_EQ(uut.ControlStability, 0.0003);
    EXPECT_DOUBLE_EQ(uut.MaxLeakRate, 0.0001);
    EXPECT_EQ(uut.SettlingTime, 5000);
    EXPECT_EQ(uut.DefaultTestProfile, "3pointtest");
    EXPECT_EQ(uut.ReCalAccuracy, 0.5);
    EXPECT_EQ(uut.SystemVolume, 64.0);
    EXPECT_EQ(uut.CalibrationDueDate.Value(), 0.0);
    EXPECT_EQ(uut.CalibrationDueDate.GetStatus(), OleDateTime::valid);
  }
}

TEST_F(UutTableTest, DeviceSetUsesTheMirrorFile) {
  table_.SetDevice(true);
  const std::string mirror = HostPath("C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat");
  test::MakeParentFolders(mirror);
  table_.Open();
  EXPECT_EQ(ReadBytes(mirror).size(), 1136u);
  EXPECT_FALSE(test::FileExists(TablePath()));
}

TEST_F(UutTableTest, PressuresAreStoredInPascalsAndTheDueDateAsStatusThenValue) {
  OpenFresh();
  UUT uut = WithId("P");
  uut.ControlStability = 0.0003;
  uut.MaxLeakRate = 0.002;
  uut.InputSpan = 30.0;
  uut.InputOffset = -15.0;
  uut.Accuracy = 0.25;
  uut.CalibrationDueDate = OleDateTime(40000.5, OleDateTime::null);
  table_.SaveRecord(uut);
  const std::string record = Table().substr(2 * kRecord, kRecord);
  EXPECT_EQ(DoubleAt(record, 32), 0.0003 * kPa);
  EXPECT_EQ(DoubleAt(record, 40), 0.25);  // not a pressure
  EXPECT_EQ(DoubleAt(record, 48), 0.002 * kPa);
  EXPECT_EQ(DoubleAt(record, 260), 30.0 * kPa);
  EXPECT_EQ(DoubleAt(record, 268), -15.0 * kPa);
  EXPECT_EQ(record.substr(124, 4), "\x02\0\0\0"s);
  EXPECT_EQ(DoubleAt(record, 128), 40000.5);
  const UUT back = Loaded("P");
  EXPECT_DOUBLE_EQ(back.ControlStability, 0.0003);
  EXPECT_DOUBLE_EQ(back.MaxLeakRate, 0.002);
  EXPECT_DOUBLE_EQ(back.InputSpan, 30.0);
  EXPECT_DOUBLE_EQ(back.InputOffset, -15.0);
  EXPECT_EQ(back.CalibrationDueDate.GetStatus(), OleDateTime::null);
  EXPECT_EQ(back.CalibrationDueDate.Value(), 40000.5);
}

TEST_F(UutTableTest, StoredOutputUnitsReplaceTheDerivedOnes) {
  WriteTable(RawRecord("C").Text(8, 8, "CSOU").bytes);
  const UUT uut = Loaded("C");
  EXPECT_EQ(uut.OutputType, "CSOU");
  EXPECT_EQ(uut.OutputUnits, "");
}

TEST_F(UutTableTest, LoadOverwritesStoredFieldsButNotLevelNames) {
  WriteTable(RawRecord("S").Text(292, 32, "SN1").Text(416, 24, "Maker").bytes);
  UUT uut = WithId("S");
  uut.LevelNames[0] = "kept";
  uut.Model = "old";
  table_.LoadRecord(uut);
  EXPECT_EQ(uut.SerialNumber, "SN1");
  EXPECT_EQ(uut.Manufacturer, "Maker");
  EXPECT_EQ(uut.Model, "");
  EXPECT_EQ(uut.LevelNames[0], "kept");
}

TEST_F(UutTableTest, SaveReplacesInPlaceOrAppends) {
  OpenFresh();
  UUT uut = Loaded("73950R5WB2DQ8C");
  uut.SerialNumber = "X-1";
  table_.SaveRecord(uut);
  EXPECT_EQ(Table().size(), 1136u);
  EXPECT_EQ(Loaded("73950R5WB2DQ8C").SerialNumber, "X-1");

  table_.SaveRecord(WithId("NEW"));
  EXPECT_EQ(Table().size(), 1704u);
  EXPECT_EQ(Combo(), (std::vector<std::string>{"7395R25WB2DQ8C", "73950R5WB2DQ8C", "NEW"}));
}

TEST_F(UutTableTest, IdsAreCaseSensitive) {
  OpenFresh();
  UUT uut = WithId("7395r25wb2dq8c");  // the built-in ID in small letters
  uut.SerialNumber = "mine";
  table_.LoadRecord(uut);
  EXPECT_EQ(uut.SerialNumber, "mine");
  EXPECT_EQ(uut.OutputType, "CSIM");
  table_.SaveRecord(WithId("7395r25wb2dq8c"));
  EXPECT_EQ(Table().size(), 1704u);
  table_.DeleteRecord(WithId("7395R25WB2DQ8c"));
  EXPECT_EQ(Table().size(), 1704u);
}

TEST_F(UutTableTest, FirstOfTwoEqualIdsWins) {
  WriteTable(RawRecord("A").Text(292, 32, "first").bytes + RawRecord("A").Text(292, 32, "second").bytes);
  EXPECT_EQ(Loaded("A").SerialNumber, "first");
  UUT uut = WithId("A");
  uut.SerialNumber = "new";
  table_.SaveRecord(uut);
  EXPECT_EQ(Loaded("A").SerialNumber, "new");
  EXPECT_EQ(Table().substr(kRecord), RawRecord("A").Text(292, 32, "second").bytes);
}

TEST_F(UutTableTest, DeleteMovesTheLastRecordIntoTheGap) {
  WriteRecords({"A", "B", "C"});
  const std::string before = Table();
  table_.DeleteRecord(WithId("Z"));
  EXPECT_EQ(Table(), before);
  table_.DeleteRecord(WithId("B"));
  EXPECT_EQ(Table(), before.substr(0, kRecord) + before.substr(2 * kRecord));
  EXPECT_EQ(Combo(), (std::vector<std::string>{"A", "C"}));
}

TEST_F(UutTableTest, DeleteOfTheLastRecordShortensTheFile) {
  WriteRecords({"A", "B", "C"});
  const std::string before = Table();
  table_.DeleteRecord(WithId("C"));
  EXPECT_EQ(Table(), before.substr(0, 2 * kRecord));
  table_.DeleteRecord(WithId("A"));
  table_.DeleteRecord(WithId("B"));
  EXPECT_EQ(Table(), "");
  EXPECT_TRUE(Combo().empty());
}

TEST_F(UutTableTest, FillListInsertsEachIdAtTheTop) {
  WriteRecords({"A", "B", "C"});
  VectorListTarget list;
  list.items = {"stale"};
  table_.FillList(list);
  EXPECT_EQ(list.items, (std::vector<std::string>{"C", "B", "A"}));
}

TEST_F(UutTableTest, ReplacedRecordKeepsItsOwnReservedFields) {
  // Raw bytes the desktop never interprets, not even valid text.
  const std::string reserved_a(100, '\x5A');
  const std::string reserved_b = std::string(99, '\x11') + "\xFF";
  WriteTable(RawRecord("A").Put(468, reserved_a).bytes + RawRecord("B").Put(468, reserved_b).bytes);
  UUT b = Loaded("B");
  b.Model = "M2";
  table_.SaveRecord(b);
  table_.SaveRecord(WithId("NEW"));
  const std::string bytes = Table();
  EXPECT_EQ(bytes.substr(468, 100), reserved_a);
  EXPECT_EQ(bytes.substr(kRecord + 468, 100), reserved_b);
  EXPECT_EQ(bytes.substr(kRecord + 396, 20), TextField("M2", 8));
  std::string empty_reserved;
  for (int i = 0; i < 5; ++i) empty_reserved += TextField("", 8);
  EXPECT_EQ(bytes.substr(2 * kRecord + 468, 100), empty_reserved);
}

TEST_F(UutTableTest, IdLongerThanItsFieldIsRefused) {
  OpenFresh();
  const std::string before = Table();
  table_.SaveRecord(WithId(std::string(33, 'I')));
  table_.SaveRecord(WithId("AB\0C"s));
  EXPECT_EQ(Table(), before);
  EXPECT_EQ(prompter_.Texts(), (std::vector<std::string>{
                                   "UUT ID is longer than 32 characters.  The profile was not saved.",
                                   "UUT ID contains a NUL character.  The profile was not saved."}));
}

TEST_F(UutTableTest, OtherLongTextsAreCutToTheirWidth) {
  OpenFresh();
  UUT uut = WithId(std::string(32, 'I'));
  uut.Model = "ABCDEFGHIJKL";
  uut.Manufacturer = std::string(30, 'm');
  uut.OutputType = "LONGTYPENAME";
  table_.SaveRecord(uut);
  EXPECT_EQ(Table().size(), 3 * kRecord);
  const UUT back = Loaded(std::string(32, 'I'));
  EXPECT_EQ(back.Model, "ABCDEFGH");
  EXPECT_EQ(back.Manufacturer, std::string(24, 'm'));
  EXPECT_EQ(back.OutputType, "LONGTYPE");
}

TEST_F(UutTableTest, EmptyFileIsATableWithoutRecords) {
  WriteTable("");
  table_.Open();
  EXPECT_EQ(Table(), "");
  EXPECT_TRUE(Combo().empty());
  table_.SaveRecord(WithId("A"));
  EXPECT_EQ(Table().size(), kRecord);
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(UutTableTest, TableIsFoundWhateverTheCaseOfItsName) {
  OpenFresh();
  std::filesystem::rename(TablePath(), temp_.root() + "/VELD/PC/UUT/UUTTABLE.DAT");
  EXPECT_EQ(Combo().size(), 2u);
  table_.SaveRecord(WithId("N"));
  EXPECT_EQ(ReadBytes(temp_.root() + "/VELD/PC/UUT/UUTTABLE.DAT").size(), 1704u);
}

TEST_F(UutTableTest, LoadFromATableWithAPartialRecordWarnsAndSearchesWholeRecords) {
  WriteTable(RawRecord("A").Text(292, 32, "sn").bytes + std::string(100, 'x'));
  EXPECT_EQ(Loaded("A").SerialNumber, "sn");
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Table error:  CUUTTable::LoadRecord"});
}

TEST_F(UutTableTest, SaveAndDeleteRefuseATableWithAPartialRecord) {
  const std::string bytes = RawRecord("A").bytes + std::string(100, 'x');
  WriteTable(bytes);
  table_.SaveRecord(WithId("B"));
  table_.DeleteRecord(WithId("A"));
  EXPECT_EQ(Table(), bytes);
  EXPECT_EQ(prompter_.Texts(), (std::vector<std::string>{Corrupted(), Corrupted()}));
}

// ---- Missing table ----

using TableOperation = std::function<void(CUUTTable&)>;

TEST_F(UutTableTest, EveryOperationButOpenNeedsTheTable) {
  const std::vector<std::pair<const char*, TableOperation>> operations = {
      {"Load", [](CUUTTable& t) { UUT u; t.LoadRecord(u); }},
      {"Save", [](CUUTTable& t) { t.SaveRecord(UUT()); }},
      {"Delete", [](CUUTTable& t) { t.DeleteRecord(UUT()); }},
      {"FillList", [](CUUTTable& t) { VectorListTarget l; t.FillList(l); }},
      {"FillCombo", [](CUUTTable& t) { VectorListTarget l; t.FillCombo(l); }},
      {"Convert", [](CUUTTable& t) { t.ConvertOldTable(); }},
  };
  for (const auto& [name, operation] : operations) {
    SCOPED_TRACE(name);
    try {
      operation(table_);
      ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
      EXPECT_EQ(error.cause(), FileError::Cause::NotFound);
    }
  }
  EXPECT_FALSE(test::FileExists(TablePath()));
}

// ---- Old format ----

std::string OldRecord(const std::string& id, double excitation, const std::string& type = "4WIR") {
  return RawRecord(id, kOld).Double(0, excitation).Text(8, 8, type).Text(204, 8, "VDC").bytes;
}

TEST_F(UutTableTest, OpenConvertsAnOldTableAndKeepsItAsBackup) {
  const std::string old = OldRecord("A", 12.0) + OldRecord("B", 15.0) + OldRecord("C", 18.0);
  ASSERT_EQ(old.size(), 828u);
  WriteTable(old);
  table_.Open();
  const std::string bytes = Table();
  EXPECT_EQ(bytes.size(), 1704u);
  EXPECT_EQ(ReadBytes(BackupPath()), old);
  EXPECT_EQ(Combo(), (std::vector<std::string>{"A", "B", "C"}));
  UUT b = WithId("B");
  b.ReCalAccuracy = 9.0;
  b.SystemVolume = 1.0;
  b.SerialNumber = b.PartNumber = b.Model = b.Manufacturer = "junk";
  table_.LoadRecord(b);
  EXPECT_EQ(b.Excitation, 15.0);
  EXPECT_EQ(b.OutputType, "4WIR");
  EXPECT_EQ(b.ReCalAccuracy, 0.5);
  EXPECT_EQ(b.SystemVolume, 64.0);
  EXPECT_EQ(b.SerialNumber + b.PartNumber + b.Model + b.Manufacturer, "");
  // Numbers move over unchanged (up to the first text that is rewritten in full width).
  EXPECT_EQ(bytes.substr(kRecord, 56), old.substr(kOld, 56));
  EXPECT_EQ(bytes.substr(2 * kRecord + 468, 20), TextField("", 8));
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(UutTableTest, ConversionLetALaterRecordWinForASharedId) {
  WriteTable(OldRecord("A", 12.0) + OldRecord("B", 15.0) + OldRecord("A", 24.0, "3WIR"));
  table_.Open();
  EXPECT_EQ(Table().size(), 1136u);
  EXPECT_EQ(Combo(), (std::vector<std::string>{"A", "B"}));
  const UUT a = Loaded("A");
  EXPECT_EQ(a.Excitation, 24.0);
  EXPECT_EQ(a.OutputType, "3WIR");
}

TEST_F(UutTableTest, ConversionIsAbandonedWhenTheBackupNameIsTaken) {
  const std::string old = OldRecord("A", 12.0);
  WriteTable(old);
  WriteBytes(temp_.root() + "/VELD/PC/UUT/uuttable_backup.DAT", "earlier");
  try {
    table_.ConvertOldTable();
    FAIL() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.cause(), FileError::Cause::AlreadyExists);
  }
  EXPECT_EQ(Table(), old);
  EXPECT_EQ(ReadBytes(temp_.root() + "/VELD/PC/UUT/uuttable_backup.DAT"), "earlier");
}

TEST_F(UutTableTest, ConvertLeavesACurrentTableAlone) {
  OpenFresh();
  const std::string before = Table();
  table_.ConvertOldTable();
  EXPECT_EQ(Table(), before);
  EXPECT_FALSE(test::FileExists(BackupPath()));
}

class UutTableBadLength : public UutTableTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(UutTableBadLength, IsReportedAndLeftUntouched) {
  std::string bytes(GetParam(), '\0');
  WriteTable(bytes);
  table_.Open();
  EXPECT_EQ(Table(), bytes);
  EXPECT_FALSE(test::FileExists(BackupPath()));
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{Corrupted()});
}

// Too short for one old record, or a multiple of neither record size
// (568 + 276 = 844 is a current table with one old record's worth of extra bytes).
INSTANTIATE_TEST_SUITE_P(Lengths, UutTableBadLength, ::testing::Values(1, 275, 569, 844, 1136 + 100));

// ---- Malformed text ----

struct MalformedCase {
  const char* name;
  size_t offset;  // of the text field in the record
  std::string field;
};

class UutTableMalformed : public UutTableTest, public ::testing::WithParamInterface<MalformedCase> {};

TEST_P(UutTableMalformed, EveryOperationRaisesEndOfFileAndWritesNothing) {
  const std::string bytes = RawRecord("A").Put(GetParam().offset, GetParam().field).bytes;
  WriteTable(bytes);
  const std::vector<TableOperation> operations = {
      [](CUUTTable& t) { UUT u; u.ID = "A"; t.LoadRecord(u); },
      [](CUUTTable& t) { UUT u; u.ID = "B"; t.SaveRecord(u); },
      [](CUUTTable& t) { UUT u; u.ID = "A"; t.DeleteRecord(u); },
      [](CUUTTable& t) { VectorListTarget l; t.FillCombo(l); },
  };
  for (const TableOperation& operation : operations) {
    try {
      operation(table_);
      ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
      EXPECT_EQ(error.cause(), FileError::Cause::EndOfFile);
    }
  }
  EXPECT_EQ(Table(), bytes);
}

const std::string kFF7 = std::string(7, '\xFF');

// Each count runs past its field (the 68-byte ID field at 136, the serial number at 292).
INSTANTIATE_TEST_SUITE_P(
    Counts, UutTableMalformed,
    ::testing::Values(MalformedCase{"ByteCount", 136, "\xC8"},
                      MalformedCase{"WideByteCount", 136, "\xFF\xFE\xFF\x21"},
                      MalformedCase{"WordCount", 136, "\xFF\x00\x10"s},
                      MalformedCase{"DwordCount", 136, "\xFF\xFF\xFF\x00\x00\x00\x01"s},
                      MalformedCase{"QwordMax", 136, kFF7 + std::string(8, '\xFF')},
                      MalformedCase{"WideQwordHalfRange", 136, "\xFF\xFE\xFF"s + kFF7 + "\0\0\0\0\0\0\0\x80"s},
                      MalformedCase{"SerialNumberQwordMax", 292, kFF7 + std::string(8, '\xFF')}),
    [](const auto& info) { return std::string(info.param.name); });

struct PrefixFormCase {
  const char* name;
  std::string field;
  std::string id;
};

class UutTableIdForms : public UutTableTest, public ::testing::WithParamInterface<PrefixFormCase> {};

TEST_P(UutTableIdForms, AreReadAsTheirText) {
  WriteTable(RawRecord("").Put(136, GetParam().field).Text(292, 32, "found").bytes);
  EXPECT_EQ(Combo(), std::vector<std::string>{GetParam().id});
  EXPECT_EQ(Loaded(GetParam().id).SerialNumber, "found");
}

INSTANTIATE_TEST_SUITE_P(
    Forms, UutTableIdForms,
    ::testing::Values(PrefixFormCase{"ByteCount", "\x03" "ABC", "ABC"},
                      PrefixFormCase{"WideByteCount", "\xFF\xFE\xFF\x02" "A\0B\0"s, "AB"},
                      PrefixFormCase{"WordCount", "\xFF\x02\x00" "AB"s, "AB"},
                      PrefixFormCase{"DwordCount", "\xFF\xFF\xFF\x02\0\0\0" "AB"s, "AB"},
                      PrefixFormCase{"QwordCount", kFF7 + "\x02\0\0\0\0\0\0\0" "AB"s, "AB"},
                      PrefixFormCase{"CutAtNul", "\x04" "AB\0C"s, "AB"},
                      PrefixFormCase{"UnitAbove255", "\xFF\xFE\xFF\x02\x41\x01" "B\0"s, "?B"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UutTableTest, MalformedOldRecordStopsConversionBeforeAnythingChanges) {
  const std::string old = OldRecord("A", 12.0) + RawRecord("B", kOld).Put(204, "\xFF\x00\x01"s).bytes;
  WriteTable(old);
  EXPECT_THROW(table_.Open(), FileError);
  EXPECT_EQ(Table(), old);
  EXPECT_FALSE(test::FileExists(BackupPath()));
}

TEST_F(UutTableTest, OldRecordWithAnIdTooLongToStoreIsReported) {
  // A one-byte count may hold more characters than the 32 a converted record keeps.
  const std::string old = RawRecord("", kOld).Put(136, "\x28" + std::string(40, 'L')).bytes + OldRecord("B", 5.0);
  WriteTable(old);
  table_.Open();
  EXPECT_EQ(Table(), old);
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{Corrupted()});
}

}  // namespace
}  // namespace veld
