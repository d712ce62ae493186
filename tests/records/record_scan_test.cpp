// The UUT table's ID search decodes only part of each record: it must fail and succeed
// exactly where a full decoding does; the list targets take a whole table in one call.

#include <gtest/gtest.h>

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

// A 568-byte record written here from the format: zero bytes read as empty one-byte-count
// texts; the ID at 136 and the serial number at 292 are 32-character fixed-width fields.
std::string Record(const std::string& id, const std::string& serial) {
  auto field = [](const std::string& text) {
    std::string bytes = "\xFF\xFE\xFF\x20"s;
    for (size_t i = 0; i < 32; ++i) bytes += (i < text.size() ? text[i] : '\0') + "\0"s;
    return bytes;
  };
  std::string record(CUUTTable::kRecordSize, '\0');
  record.replace(136, 68, field(id));
  record.replace(292, 68, field(serial));
  return record;
}

// The manufacturer (at 416, 52 bytes) with a one-byte count of 60: past its field.
std::string Damaged(const std::string& id) {
  std::string record = Record(id, "damaged");
  record[416] = '\x3C';
  return record;
}

class UutTableScanTest : public test::TempRootTest {
 protected:
  void WriteTable(const std::string& bytes) const {
    test::WriteBytes(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"), bytes);
  }
  UUT Loaded(const std::string& id) {
    UUT uut;
    uut.ID = id;
    table_.LoadRecord(uut);
    return uut;
  }
  test::RecordingPrompter prompter_;
  CUUTTable table_{prompter_};
};

TEST_F(UutTableScanTest, DamagedRecordBeforeTheMatchStopsTheSearch) {
  WriteTable(Record("A", "a") + Damaged("B") + Record("C", "c"));
  EXPECT_EQ(Loaded("A").SerialNumber, "a");  // the damage lies beyond the match
  EXPECT_THROW(Loaded("C"), FileError);
  EXPECT_THROW(Loaded("missing"), FileError);
  UUT saved;
  saved.ID = "D";
  EXPECT_THROW(table_.SaveRecord(saved), FileError);
  VectorListTarget list;
  EXPECT_THROW(table_.FillList(list), FileError);
  EXPECT_TRUE(list.items.empty());
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(UutTableScanTest, FieldsInAnyValidFormAreScannedAsWritten) {
  // Record B's manufacturer uses a one-byte count of 8-bit characters, which fits.
  std::string b = Record("B", "b");
  b.replace(416, 4, "\x03" "XYZ"s);
  WriteTable(Record("A", "a") + b + Record("C", "c"));
  EXPECT_EQ(Loaded("C").SerialNumber, "c");
  EXPECT_EQ(Loaded("B").Manufacturer, "XYZ");
  VectorListTarget list;
  table_.FillList(list);
  EXPECT_EQ(list.items, (std::vector<std::string>{"C", "B", "A"}));
}

// Records every call, to show what a target without its own whole-table insert receives.
class CallRecordingTarget : public ListTarget {
 public:
  void Clear() override { calls.push_back("clear"); }
  void InsertAtTop(const std::string& text) override { calls.push_back("top " + text); }
  void Append(const std::string& text) override { calls.push_back("append " + text); }
  std::vector<std::string> calls;
};

TEST(ListTargets, WholeTableAtTopIsEachTextAtTopInTurn) {
  const std::vector<std::string> texts = {"1", "2", "3"};
  VectorListTarget one_by_one, at_once;
  for (VectorListTarget* target : {&one_by_one, &at_once}) target->items = {"old"};
  for (const std::string& text : texts) one_by_one.InsertAtTop(text);
  at_once.InsertAllAtTop(texts);
  EXPECT_EQ(at_once.items, (std::vector<std::string>{"3", "2", "1", "old"}));
  EXPECT_EQ(at_once.items, one_by_one.items);

  CallRecordingTarget plain;
  plain.InsertAllAtTop(texts);
  EXPECT_EQ(plain.calls, (std::vector<std::string>{"top 1", "top 2", "top 3"}));
}

}  // namespace
}  // namespace veld
