#include "platform/binary_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "platform/file_error.h"
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

}  // namespace
}  // namespace veld
