#include "platform/binary_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <tuple>

#include "platform/fault_injection.h"
#include "platform/file_error.h"
#include "platform/text_encoding.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using Mode = BinaryFile::Mode;
using Cause = FileError::Cause;

// The cause of the FileError that an action raises; Generic when it raises none.
Cause CauseOf(const std::function<void()>& action) try {
  action();
  return Cause::Generic;
} catch (const FileError& error) {
  return error.cause();
}

class BinaryFileTest : public test::TempRootTest {
 protected:
  std::string PathOf(const std::string& name) const { return temp_.root() + "/" + name; }
};

TEST_F(BinaryFileTest, FailuresRaiseFileErrorsWithTheirCauseAndCreateEmpties) {
  test::WriteBytes(PathOf("a.dat"), "abcdef");
  test::WriteBytes(PathOf("b.dat"), "b");
  std::filesystem::create_directories(PathOf("folder"));
  EXPECT_EQ(CauseOf([&] { BinaryFile f(PathOf("missing.dat"), Mode::ReadWrite); }), Cause::NotFound);
  EXPECT_EQ(CauseOf([&] { BinaryFile f(PathOf("no/folder.dat"), Mode::Create); }), Cause::NotFound);
  EXPECT_EQ(CauseOf([&] { BinaryFile f(PathOf("folder"), Mode::Read); }), Cause::AccessDenied);
  EXPECT_EQ(CauseOf([&] { BinaryFile::Rename(PathOf("a.dat"), PathOf("b.dat")); }), Cause::AlreadyExists);
  EXPECT_EQ(CauseOf([&] { BinaryFile::Rename(PathOf("x.dat"), PathOf("y.dat")); }), Cause::NotFound);
  EXPECT_EQ(test::ReadBytes(PathOf("b.dat")), "b");  // a refused rename keeps both files
  BinaryFile::Rename(PathOf("a.dat"), PathOf("c.dat"));
  EXPECT_FALSE(BinaryFile::Exists(PathOf("a.dat")));

  BinaryFile file(PathOf("c.dat"), Mode::Read);
  char buffer[8] = {};
  file.Seek(2);
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "cdef");
  file.Seek(4);
  EXPECT_EQ(CauseOf([&] { file.ReadExact(buffer, 3); }), Cause::EndOfFile);
  EXPECT_EQ(file.ReadAll().view(), "abcdef");
  file.Close();
  BinaryFile(PathOf("c.dat"), Mode::Create).SetLength(2);  // emptied, then padded
  EXPECT_EQ(test::ReadBytes(PathOf("c.dat")), std::string(2, '\0'));

  BinaryFile::SyncFilesIn(temp_.root(), {PathOf("b.dat"), PathOf("c.dat")});  // waits for the disk itself
  EXPECT_EQ(CauseOf([&] { BinaryFile::SyncFilesIn(PathOf("no"), {PathOf("no/x.dat")}); }), Cause::NotFound);
}

// A whole-file replacement that fails at any one of its operations leaves the old content
// (or, when only the folder's sync failed, the complete new one), no file beside it, and
// an error that names the file. A disk that fills up takes half a block first.
struct ReplaceFault {
  const char* plan;
  bool replaced;  // whether the new content is in place when the error comes
};

class ReplaceWholeFileTest : public BinaryFileTest, public ::testing::WithParamInterface<ReplaceFault> {
 protected:
  void TearDown() override { fault::Disarm(); }
};

TEST_P(ReplaceWholeFileTest, AFailureAtAnyStepLeavesOneWholeContentAndNothingBeside) {
  const std::string path = PathOf("table.dat");
  test::WriteBytes(path, "old content");
  std::filesystem::permissions(path, std::filesystem::perms(0600));
  const std::optional<fault::Plan> plan = fault::ParsePlan(GetParam().plan);
  ASSERT_TRUE(plan);
  fault::Arm(*plan);
  try {
    BinaryFile::ReplaceWholeFile(path, "the new content");
    ADD_FAILURE() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), path);
    EXPECT_EQ(error.cause(), plan->error == ENOSPC ? Cause::DiskFull : Cause::Generic);
  }
  EXPECT_TRUE(fault::Struck());
  EXPECT_EQ(test::ReadBytes(path), GetParam().replaced ? "the new content" : "old content");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp_.root()), {}), 1) << "a file was left beside";
  fault::Disarm();
  BinaryFile::ReplaceWholeFile(path, "the new content");
  EXPECT_EQ(test::ReadBytes(path), "the new content");
  EXPECT_EQ(std::filesystem::status(path).permissions(), std::filesystem::perms(0600)) << "kept by the replacement";
}

INSTANTIATE_TEST_SUITE_P(Steps, ReplaceWholeFileTest,
                         ::testing::Values(ReplaceFault{"open:1:EIO", false}, ReplaceFault{"write:1:ENOSPC", false},
                                           ReplaceFault{"write:1:EIO", false}, ReplaceFault{"sync:1:EIO", false},
                                           ReplaceFault{"rename:1:EIO", false},
                                           // The folder, opened and synced after the rename.
                                           ReplaceFault{"open:2:EIO", true}, ReplaceFault{"sync:2:EIO", true}));

// A plan that does not parse is ignored, and a fault loop over it would pass without a fault.
TEST(FaultPlanTest, ParsesKindCountActionAndAPathThatMayHoldColons) {
  const std::optional<fault::Plan> plan = fault::ParsePlan("rename:3:kill:C:\\VELD");
  ASSERT_TRUE(plan);
  EXPECT_EQ(std::tie(plan->operation, plan->nth, plan->kill, plan->path_part),
            std::tuple(std::optional(fault::Operation::Rename), 3ull, true, std::string("C:\\VELD")));
  const std::optional<fault::Plan> any = fault::ParsePlan("any:12:ENOSPC");
  ASSERT_TRUE(any);
  EXPECT_EQ(std::tie(any->operation, any->error), std::tuple(std::optional<fault::Operation>(), ENOSPC));
  for (const char* wrong : {"", "write", "write:1", "write:0:EIO", "write:x:EIO", "read:1:EIO", "write:1:EPERM"}) {
    EXPECT_FALSE(fault::ParsePlan(wrong)) << wrong;
  }
}

// Only operations of the planned kind on paths holding the planned part count; the plan
// strikes once.
TEST_F(BinaryFileTest, AFaultStrikesTheNthMatchingOperationOnce) {
  test::WriteBytes(PathOf("a.dat"), "a");
  test::WriteBytes(PathOf("b.dat"), "b");
  fault::Arm(*fault::ParsePlan("open:2:EIO:b.dat"));
  BinaryFile file;
  EXPECT_TRUE(file.TryOpen(PathOf("b.dat"), Mode::Read));
  EXPECT_TRUE(file.TryOpen(PathOf("a.dat"), Mode::Read));
  EXPECT_FALSE(file.TryOpen(PathOf("b.dat"), Mode::Read));
  EXPECT_EQ(errno, EIO);
  EXPECT_TRUE(file.TryOpen(PathOf("b.dat"), Mode::Read));
  fault::Disarm();
}

TEST(TextEncoding, Utf8BecomesLatin1OnlyWhenEveryCharacterHasALatin1Form) {
  using R = Utf8ToLatin1Result;
  const struct {
    std::string utf8;
    R result;
    std::string latin1;
  } cases[] = {
      {"plain", R::Converted, "plain"},
      {"M\xC3\xBCller \xC2\xB5", R::Converted, "M\xFCller \xB5"},
      {"\xE2\x82\xAC", R::BeyondLatin1, "\xE2\x82\xAC"},  // the euro sign
      {"M\xFCller", R::NotUtf8, "M\xFCller"},                // Latin-1 already
      {"\xC0\xAF", R::NotUtf8, "\xC0\xAF"},                  // an overlong "/"
      {"\xED\xA0\x80", R::NotUtf8, "\xED\xA0\x80"},          // a surrogate
      {"\xC3", R::NotUtf8, "\xC3"},                          // cut short
  };
  for (const auto& c : cases) {
    std::string out = "junk";
    EXPECT_EQ(Utf8ToLatin1(c.utf8, out), c.result) << c.utf8;
    EXPECT_EQ(out, c.latin1);
  }
  EXPECT_EQ(Latin1ToUtf8("M\xFCller \xB5"), "M\xC3\xBCller \xC2\xB5");
}

}  // namespace
}  // namespace veld
