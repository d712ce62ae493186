// Connect and the two single-file copies, end to end through the stand-in library.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "device_link_fixture.h"
#include "platform/dynamic_library.h"
#include "platform/file_error.h"

namespace veld::test {
namespace {

constexpr char kLocalTable[] = "C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.DAT";
constexpr char kDeviceTable[] = "Mounted_Volume\\VELD\\UUT\\UUTTable.DAT";

class FileCopyTest : public DeviceLinkTest {
 protected:
  void SetUp() override {
    MakeDesktopFolder("C:\\VELD\\VELD\\UUT");
    MakeDeviceFolder("Mounted_Volume/VELD/UUT");
    ASSERT_TRUE(link_.Connect());
  }
  std::string DeviceTable() const { return OnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT"); }
  static std::string LocalTable() { return OnDesktop(kLocalTable); }
};

TEST_F(DeviceLinkTest, ConnectSetsTheLocalRootAndConnectsTwice) {
  EXPECT_TRUE(link_.Connect());
  EXPECT_EQ(link_.LocalRoot(), "C:\\");
  // The library answers that it is already initialised: still connected.
  EXPECT_TRUE(link_.Connect());
}

TEST_F(DeviceLinkTest, ConnectFailsWhenTheDeviceFolderIsMissing) {
  ScopedVariable device("VELD_DEVICE", std::string(temp_.device() + "/absent"));
  EXPECT_FALSE(link_.Connect());
  EXPECT_EQ(link_.LocalRoot(), "C:\\");
}

TEST_F(FileCopyTest, RefusedConnectionOfACopyLeavesTheConnectOpen) {
  PutOnDesktop(kLocalTable, "previous table");
  {
    ScopedVariable unplugged("VELD_DEVICE", std::string(temp_.device() + "/absent"));
    link_.CopyFileFromDevice(kLocalTable, kDeviceTable);
  }
  EXPECT_EQ(ReadBytes(LocalTable()), "previous table");
  EXPECT_EQ(prompter_.entries.size(), 1u);
  // The same library instance: the connection that Connect opened is still counted.
  DynamicLibrary library(VELD_RAPI_TEST_LIBRARY);
  const auto init = library.Entry<rapi::CeRapiInitFn>("CeRapiInit");
  const auto uninit = library.Entry<rapi::CeRapiUninitFn>("CeRapiUninit");
  EXPECT_EQ(init(), rapi::CERAPI_E_ALREADYINITIALIZED);
  uninit();
}

class ConnectWithoutUsableLibrary : public DeviceLinkTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ConnectWithoutUsableLibrary, FailsAndLeavesTheLinkUnloaded) {
  ScopedVariable library("VELD_RAPI_LIBRARY", std::string(GetParam()));
  EXPECT_FALSE(link_.Connect());
  EXPECT_FALSE(link_.IsLoaded());
}

// A file that is not there, and a library without the remote API's entry points.
INSTANTIATE_TEST_SUITE_P(Libraries, ConnectWithoutUsableLibrary,
                         ::testing::Values("/nonexistent/libveld_rapi.so", "libm.so.6"));

enum class Direction { ToDevice, FromDevice };

std::string CopyName(const ::testing::TestParamInfo<std::tuple<Direction, size_t>>& info) {
  const char* direction = std::get<0>(info.param) == Direction::ToDevice ? "ToDevice_" : "FromDevice_";
  return direction + std::to_string(std::get<1>(info.param));
}

class BlockBoundaryCopy : public FileCopyTest, public ::testing::WithParamInterface<std::tuple<Direction, size_t>> {};

// The old target is longer than any source, so that a tail that survives the copy shows.
TEST_P(BlockBoundaryCopy, TargetEqualsSourceByteForByte) {
  const auto [direction, size] = GetParam();
  const std::string source = PatternBytes(size, 1);
  const std::string old_target = PatternBytes(30000, 2);
  if (direction == Direction::ToDevice) {
    PutOnDesktop(kLocalTable, source);
    PutOnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT", old_target);
    link_.CopyFileToDevice(kLocalTable, kDeviceTable);
    EXPECT_EQ(ReadBytes(DeviceTable()), source);
    EXPECT_EQ(ReadBytes(LocalTable()), source);
  } else {
    PutOnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT", source);
    PutOnDesktop(kLocalTable, old_target);
    link_.CopyFileFromDevice(kLocalTable, kDeviceTable);
    EXPECT_EQ(ReadBytes(LocalTable()), source);
    EXPECT_EQ(NamesIn(OnDesktop("C:\\VELD\\VELD\\UUT")), std::vector<std::string>{"UUTTable_PPCBK.DAT"});
  }
  EXPECT_TRUE(prompter_.entries.empty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, BlockBoundaryCopy,
                         ::testing::Combine(::testing::Values(Direction::ToDevice, Direction::FromDevice),
                                            ::testing::Values(0, 1, 10239, 10240, 10241, 20480)),
                         CopyName);

TEST_F(FileCopyTest, MissingDeviceFileIsCreatedEmptyAndEmptiesTheLocalFile) {
  PutOnDesktop(kLocalTable, "old table");
  link_.CopyFileFromDevice(kLocalTable, kDeviceTable);
  ASSERT_TRUE(FileExists(DeviceTable()));
  EXPECT_EQ(ReadBytes(DeviceTable()), "");
  EXPECT_EQ(ReadBytes(LocalTable()), "");
}

TEST_F(FileCopyTest, LocalFileThatCannotBeOpenedFailsBeforeTheDeviceIsTouched) {
  try {
    link_.CopyFileToDevice(kLocalTable, kDeviceTable);
    FAIL() << "no FileError";
  } catch (const FileError& error) {
    EXPECT_EQ(error.cause(), FileError::Cause::NotFound);
  }
  EXPECT_FALSE(FileExists(DeviceTable()));
}

TEST_F(FileCopyTest, LocalFileThatCannotBeCreatedFailsBeforeTheDeviceIsTouched) {
  PutOnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT", "table");
  EXPECT_THROW(link_.CopyFileFromDevice("C:\\VELD\\Missing\\UUTTable.DAT", kDeviceTable), FileError);
  // A folder in the way of the local file is no file to replace.
  MakeDesktopFolder(kLocalTable);
  EXPECT_THROW(link_.CopyFileFromDevice(kLocalTable, kDeviceTable), FileError);
  EXPECT_EQ(NamesIn(OnDesktop("C:\\VELD\\VELD\\UUT")), std::vector<std::string>{"UUTTable_PPCBK.DAT"});
}

class InterruptedUpload : public FileCopyTest, public ::testing::WithParamInterface<int> {};

TEST_P(InterruptedUpload, LeavesThePreviousLocalFileIntact) {
  PutOnDevice("Mounted_Volume/VELD/UUT/UUTTable.DAT", PatternBytes(25000, 3));
  PutOnDesktop(kLocalTable, "previous table");
  ScopedVariable fail(rapi::kFailReadAtVariable, std::to_string(GetParam()));
  link_.CopyFileFromDevice(kLocalTable, kDeviceTable);
  EXPECT_EQ(ReadBytes(LocalTable()), "previous table");
  EXPECT_EQ(NamesIn(OnDesktop("C:\\VELD\\VELD\\UUT")), std::vector<std::string>{"UUTTable_PPCBK.DAT"});
  EXPECT_EQ(prompter_.Texts(),
            std::vector<std::string>{"Could not copy Mounted_Volume\\VELD\\UUT\\UUTTable.DAT from VELD.  "
                                     "C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.DAT was not changed."});
}

// The first, a middle and the last (short) read of a 25000-byte file.
INSTANTIATE_TEST_SUITE_P(FailingRead, InterruptedUpload, ::testing::Values(1, 2, 3));

TEST_F(FileCopyTest, WriteRefusedByTheDeviceIsReported) {
  PutOnDesktop(kLocalTable, "table");
  link_.CopyFileToDevice(kLocalTable, "Mounted_Volume\\NoSuchFolder\\UUTTable.DAT");
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Could not copy C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.DAT to "
                                                        "Mounted_Volume\\NoSuchFolder\\UUTTable.DAT on VELD."});
}

}  // namespace
}  // namespace veld::test
