#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "platform/binary_file.h"
#include "platform/file_error.h"
#include "support/temp_root.h"

namespace veld {
namespace {

using Mode = BinaryFile::Mode;

class BinaryFileTest : public test::TempRootTest {
 protected:
  std::string PathOf(const std::string& name) const { return temp_.root() + "/" + name; }
};

FileError::Cause CauseOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const FileError& error) {
    return error.cause();
  }
  ADD_FAILURE() << "no FileError";
  return FileError::Cause::Generic;
}

TEST_F(BinaryFileTest, OpenFailuresRaiseNotFound) {
  const std::string missing = PathOf("missing.dat");
  EXPECT_EQ(CauseOf([&] { BinaryFile f(missing, Mode::Read); }), FileError::Cause::NotFound);
  EXPECT_EQ(CauseOf([&] { BinaryFile f(missing, Mode::ReadWrite); }), FileError::Cause::NotFound);
  EXPECT_EQ(CauseOf([&] { BinaryFile f(PathOf("no/folder.dat"), Mode::Create); }), FileError::Cause::NotFound);
  EXPECT_EQ(CauseOf([&] { BinaryFile::ReadWholeFile(missing); }), FileError::Cause::NotFound);
  EXPECT_EQ(CauseOf([&] { BinaryFile::Remove(missing); }), FileError::Cause::NotFound);
  BinaryFile file;
  EXPECT_FALSE(file.TryOpen(missing, Mode::Read));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(test::FileExists(missing));
}

TEST_F(BinaryFileTest, AFolderIsNotAFile) {
  std::filesystem::create_directories(PathOf("folder"));
  EXPECT_EQ(CauseOf([&] { BinaryFile f(PathOf("folder"), Mode::Read); }), FileError::Cause::AccessDenied);
}

TEST_F(BinaryFileTest, ReadingPastTheEndRaisesEndOfFile) {
  test::WriteBytes(PathOf("t.dat"), "abcdef");
  BinaryFile file(PathOf("t.dat"), Mode::Read);
  char buffer[8] = {};
  file.Seek(2);
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 4u);
  EXPECT_EQ(std::string(buffer, 4), "cdef");
  file.Seek(4);
  EXPECT_EQ(CauseOf([&] { file.ReadExact(buffer, 3); }), FileError::Cause::EndOfFile);
  EXPECT_EQ(file.ReadAll(), "abcdef");
}

TEST_F(BinaryFileTest, CreateEmptiesAndOpenOrCreateKeeps) {
  const std::string path = PathOf("t.dat");
  test::WriteBytes(path, "abcdef");
  { BinaryFile f(path, Mode::OpenOrCreate); f.Seek(1); f.Write("XY"); }
  EXPECT_EQ(test::ReadBytes(path), "aXYdef");
  { BinaryFile f(path, Mode::Create); EXPECT_EQ(f.Length(), 0u); f.Write("q"); }
  EXPECT_EQ(test::ReadBytes(path), "q");
}

TEST_F(BinaryFileTest, WriteAppendsAtTheEndAndSetLengthCutsOrPads) {
  const std::string path = PathOf("t.dat");
  test::WriteBytes(path, "abcdef");
  BinaryFile file(path, Mode::ReadWrite);
  file.SeekToEnd();
  file.Write("gh");
  EXPECT_EQ(file.Position(), 8u);
  file.SetLength(3);
  EXPECT_EQ(file.Length(), 3u);
  file.SetLength(5);
  file.Close();
  EXPECT_EQ(test::ReadBytes(path), std::string("abc\0\0", 5));
}

TEST_F(BinaryFileTest, RenameOntoAnExistingNameRaisesAlreadyExists) {
  test::WriteBytes(PathOf("a.dat"), "a");
  test::WriteBytes(PathOf("b.dat"), "b");
  EXPECT_EQ(CauseOf([&] { BinaryFile::Rename(PathOf("a.dat"), PathOf("b.dat")); }), FileError::Cause::AlreadyExists);
  EXPECT_EQ(test::ReadBytes(PathOf("a.dat")), "a");
  EXPECT_EQ(test::ReadBytes(PathOf("b.dat")), "b");
  EXPECT_EQ(CauseOf([&] { BinaryFile::Rename(PathOf("x.dat"), PathOf("y.dat")); }), FileError::Cause::NotFound);
  BinaryFile::Rename(PathOf("a.dat"), PathOf("c.dat"));
  EXPECT_FALSE(BinaryFile::Exists(PathOf("a.dat")));
  EXPECT_EQ(test::ReadBytes(PathOf("c.dat")), "a");
}

TEST_F(BinaryFileTest, MovingHandsTheFileOver) {
  test::WriteBytes(PathOf("t.dat"), "abc");
  BinaryFile first(PathOf("t.dat"), Mode::Read);
  BinaryFile second = std::move(first);
  EXPECT_FALSE(first.IsOpen());
  EXPECT_EQ(second.ReadAll(), "abc");
}

}  // namespace
}  // namespace veld
