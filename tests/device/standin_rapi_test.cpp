// The stand-in library's conventions, called directly through its exported entry points.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "device/rapi_types.h"
#include "device_link_fixture.h"
#include "platform/dynamic_library.h"

namespace veld::test {
namespace {

using namespace rapi;
namespace fs = std::filesystem;

class StandInTest : public TempRootTest {
 protected:
  ~StandInTest() override {
    while (uninit_() != E_FAIL) {  // leave the library unconnected for the next test
    }
  }

  HANDLE Open(const std::u16string& path, DWORD creation, DWORD access = GENERIC_READ) {
    return create_(path.c_str(), access, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  }

  std::string ReadAllFrom(HANDLE file) {
    std::string bytes;
    char block[7];
    DWORD got = 0;
    while (read_(file, block, sizeof block, &got, nullptr) && got > 0) bytes.append(block, got);
    return bytes;
  }

  std::string Device(const std::string& relative) const { return temp_.device() + "/" + relative; }

  ScopedVariable no_failure_{kFailReadAtVariable, std::nullopt};
  DynamicLibrary library_{VELD_RAPI_TEST_LIBRARY};
  CeRapiInitFn init_ = library_.Entry<CeRapiInitFn>("CeRapiInit");
  CeRapiUninitFn uninit_ = library_.Entry<CeRapiUninitFn>("CeRapiUninit");
  CeCreateFileFn create_ = library_.Entry<CeCreateFileFn>("CeCreateFile");
  CeReadFileFn read_ = library_.Entry<CeReadFileFn>("CeReadFile");
  CeCloseHandleFn close_ = library_.Entry<CeCloseHandleFn>("CeCloseHandle");
  CeFindFirstFileFn find_first_ = library_.Entry<CeFindFirstFileFn>("CeFindFirstFile");
  CeFindNextFileFn find_next_ = library_.Entry<CeFindNextFileFn>("CeFindNextFile");
};

class StandInWithoutDevice : public StandInTest, public ::testing::WithParamInterface<std::optional<std::string>> {};

TEST_P(StandInWithoutDevice, InitFailsAndNothingOpens) {
  ScopedVariable device("VELD_DEVICE", GetParam());
  EXPECT_EQ(init_(), E_FAIL);
  EXPECT_EQ(Open(u"Mounted_Volume\\x.DAT", OPEN_ALWAYS), INVALID_HANDLE_VALUE);
}

INSTANTIATE_TEST_SUITE_P(MissingFolder, StandInWithoutDevice,
                         ::testing::Values(std::nullopt, std::string(""), std::string("/nonexistent/veld-device")));

TEST_F(StandInTest, SecondInitAnswersAlreadyInitialisedAndTheConnectionStaysUntilTheLastUninit) {
  ASSERT_EQ(init_(), S_OK);
  EXPECT_EQ(init_(), CERAPI_E_ALREADYINITIALIZED);
  HANDLE file = Open(u"first.DAT", OPEN_ALWAYS);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(uninit_(), S_OK);
  EXPECT_NE(Open(u"second.DAT", OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(uninit_(), S_OK);
  // The last uninit ends the connection and every handle with it.
  EXPECT_EQ(Open(u"third.DAT", OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(close_(file), FALSE);
  EXPECT_FALSE(FileExists(Device("third.DAT")));
}

TEST_F(StandInTest, ListingHandleSurvivesANestedInitAndUninit) {
  for (const char* name : {"a.DAT", "b.DAT", "c.DAT"}) WriteBytes(Device("List/") + name, name);
  ASSERT_EQ(init_(), S_OK);
  CE_FIND_DATA entry{};
  HANDLE listing = find_first_(u"List\\*.*", &entry);
  ASSERT_NE(listing, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(entry.cFileName), u"a.DAT");

  ASSERT_EQ(init_(), CERAPI_E_ALREADYINITIALIZED);
  HANDLE file = Open(u"List\\b.DAT", OPEN_EXISTING);
  EXPECT_EQ(ReadAllFrom(file), "b.DAT");
  close_(file);
  uninit_();

  ASSERT_TRUE(find_next_(listing, &entry));
  EXPECT_EQ(std::u16string(entry.cFileName), u"b.DAT");
  ASSERT_TRUE(find_next_(listing, &entry));
  EXPECT_EQ(std::u16string(entry.cFileName), u"c.DAT");
  EXPECT_FALSE(find_next_(listing, &entry));
  EXPECT_TRUE(close_(listing));
}

TEST_F(StandInTest, ComponentsResolveWithoutRegardToCaseAndNewNamesKeepTheirSpelling) {
  WriteBytes(Device("mounted_volume/veld/uut/uuttable.dat"), "table");
  ASSERT_EQ(init_(), S_OK);
  HANDLE table = Open(u"Mounted_Volume\\VELD\\UUT\\UUTTable.DAT", OPEN_EXISTING);
  ASSERT_NE(table, INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadAllFrom(table), "table");
  EXPECT_NE(Open(u"MOUNTED_VOLUME\\Veld\\uut\\NewName.DAT", OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(NamesIn(Device("mounted_volume/veld/uut")), (std::vector<std::string>{"NewName.DAT", "uuttable.dat"}));
}

TEST_F(StandInTest, OpenAlwaysCreatesAMissingFileAndOpenExistingDoesNot) {
  fs::create_directories(Device("Mounted_Volume"));
  ASSERT_EQ(init_(), S_OK);
  EXPECT_EQ(Open(u"Mounted_Volume\\Absent.DAT", OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FileExists(Device("Mounted_Volume/Absent.DAT")));
  EXPECT_NE(Open(u"Mounted_Volume\\Absent.DAT", OPEN_ALWAYS), INVALID_HANDLE_VALUE);
  ASSERT_TRUE(FileExists(Device("Mounted_Volume/Absent.DAT")));
  EXPECT_EQ(ReadBytes(Device("Mounted_Volume/Absent.DAT")), "");
  // A missing folder is not created on the way.
  EXPECT_EQ(Open(u"Mounted_Volume\\NoFolder\\x.DAT", OPEN_ALWAYS), INVALID_HANDLE_VALUE);
}

class StandInRefusedPath : public StandInTest, public ::testing::WithParamInterface<std::u16string> {};

TEST_P(StandInRefusedPath, NeitherOpensNorCreatesNorLists) {
  WriteBytes(temp_.device() + "/../escape.DAT", "outside");
  WriteBytes(Device("Inside/escape.DAT"), "inside");
  ASSERT_EQ(init_(), S_OK);
  EXPECT_EQ(Open(GetParam(), OPEN_ALWAYS, GENERIC_READ | GENERIC_WRITE), INVALID_HANDLE_VALUE);
  CE_FIND_DATA entry{};
  EXPECT_EQ(find_first_(GetParam().c_str(), &entry), INVALID_HANDLE_VALUE);
  EXPECT_EQ(ReadBytes(temp_.device() + "/../escape.DAT"), "outside");
  EXPECT_EQ(NamesIn(temp_.device()), std::vector<std::string>{"Inside"});
}

INSTANTIATE_TEST_SUITE_P(OutsideTheDevice, StandInRefusedPath,
                         ::testing::Values(u"..\\escape.DAT", u"Inside\\..\\..\\escape.DAT", u"Inside/../../escape.DAT",
                                           u"\\escape.DAT", u"/escape.DAT", u"C:\\escape.DAT", u"Inside\\.\\escape.DAT",
                                           u"Inside\\esc\x01ape.DAT", u""));

TEST_F(StandInTest, ListingGivesFilesAndFoldersInNameOrderWithSizes) {
  WriteBytes(Device("Folder/b.DAT"), "12345");
  WriteBytes(Device("Folder/A.dat"), "");
  WriteBytes(Device("Folder/c.txt"), "x");
  fs::create_directories(Device("Folder/Sub.DAT"));
  ASSERT_EQ(init_(), S_OK);
  CE_FIND_DATA entry{};
  HANDLE listing = find_first_(u"folder\\*.dat", &entry);
  ASSERT_NE(listing, INVALID_HANDLE_VALUE);
  EXPECT_EQ(std::u16string(entry.cFileName), u"A.dat");
  EXPECT_EQ(entry.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(find_next_(listing, &entry));
  EXPECT_EQ(std::u16string(entry.cFileName), u"b.DAT");
  EXPECT_EQ(entry.nFileSizeLow, 5u);
  EXPECT_EQ(entry.nFileSizeHigh, 0u);
  ASSERT_TRUE(find_next_(listing, &entry));
  EXPECT_EQ(std::u16string(entry.cFileName), u"Sub.DAT");
  EXPECT_EQ(entry.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_FALSE(find_next_(listing, &entry));
}

TEST_F(StandInTest, ListingOfAMissingOrEmptyFolderGivesNoHandle) {
  fs::create_directories(Device("Empty"));
  WriteBytes(Device("Other/x.DAT"), "x");
  ASSERT_EQ(init_(), S_OK);
  CE_FIND_DATA entry{};
  EXPECT_EQ(find_first_(u"Empty\\*.*", &entry), INVALID_HANDLE_VALUE);
  EXPECT_EQ(find_first_(u"Missing\\*.*", &entry), INVALID_HANDLE_VALUE);
  EXPECT_EQ(find_first_(u"Other\\*.txt", &entry), INVALID_HANDLE_VALUE);
}

TEST_F(StandInTest, InjectedFailureStopsTheNthReadOfAFile) {
  WriteBytes(Device("big.DAT"), std::string(30, 'x'));
  ScopedVariable fail(kFailReadAtVariable, std::string("2"));
  ASSERT_EQ(init_(), S_OK);
  HANDLE file = Open(u"big.DAT", OPEN_EXISTING);
  char block[10];
  DWORD got = 0;
  EXPECT_TRUE(read_(file, block, sizeof block, &got, nullptr));
  EXPECT_EQ(got, 10u);
  EXPECT_FALSE(read_(file, block, sizeof block, &got, nullptr));
  EXPECT_EQ(got, 0u);
}

}  // namespace
}  // namespace veld::test
