#include "platform/binary_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/file_error.h"
#include "platform/replace_file.h"
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
}

// A whole-file replacement leaves the old content or the new, and no file of its own.
TEST_F(BinaryFileTest, ReplacingContentsIsAllOrNothingAndLeavesNoTemporaryFile) {
  test::WriteBytes(PathOf("t.dat"), "old");
  ReplaceFileContents(PathOf("t.dat"), "new content");
  ReplaceFileContents(PathOf("fresh.dat"), "");
  EXPECT_EQ(test::ReadBytes(PathOf("t.dat")), "new content");
  EXPECT_TRUE(BinaryFile::Exists(PathOf("fresh.dat")));
  EXPECT_EQ(CauseOf([&] { ReplaceFileContents(PathOf("no/t.dat"), "x"); }), Cause::NotFound);
  std::filesystem::create_directories(PathOf("folder/inside"));
  EXPECT_NE(CauseOf([&] { ReplaceFileContents(PathOf("folder"), "x"); }), Cause::Generic);  // a folder stays
  EXPECT_TRUE(std::filesystem::is_directory(PathOf("folder/inside")));
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp_.root())) ++files;
  EXPECT_EQ(files, 3u) << "t.dat, fresh.dat and folder only";
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
