// The stand-in library's conventions, called directly through its exported entry points.
// The end-to-end tests cover the ordinary uses; these pin what they cannot see.

#include <gtest/gtest.h>

#include "device/rapi_types.h"
#include "device_link_fixture.h"

namespace veld::test {
namespace {
using namespace rapi;

class StandInTest : public TempRootTest {
 protected:
  ~StandInTest() override {
    while (uninit_() != E_FAIL) {  // leave the library unconnected for the next test
    }
  }
  HANDLE Open(const std::u16string& path, DWORD creation = OPEN_ALWAYS) {
    return create_(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  // The name of the next listed entry, or "<end>".
  std::u16string Next(HANDLE listing) { return find_next_(listing, &entry_) ? entry_.cFileName : u"<end>"; }
  std::string Device(const std::string& relative) const { return temp_.device() + "/" + relative; }

  ScopedVariable no_failure_{kFailReadAtVariable, std::nullopt};
  DynamicLibrary library_{VELD_RAPI_TEST_LIBRARY};
  CeRapiInitFn init_ = library_.Entry<CeRapiInitFn>("CeRapiInit");
  CeRapiUninitFn uninit_ = library_.Entry<CeRapiUninitFn>("CeRapiUninit");
  CeCreateFileFn create_ = library_.Entry<CeCreateFileFn>("CeCreateFile");
  CeCloseHandleFn close_ = library_.Entry<CeCloseHandleFn>("CeCloseHandle");
  CeFindFirstFileFn find_first_ = library_.Entry<CeFindFirstFileFn>("CeFindFirstFile");
  CeFindNextFileFn find_next_ = library_.Entry<CeFindNextFileFn>("CeFindNextFile");
  CE_FIND_DATA entry_{};
};

// Init fails while the device folder is unset or empty; nested inits and uninits keep the
// connection and its handles until the last uninit.
TEST_F(StandInTest, InitNeedsTheDeviceFolderAndTheLastUninitEndsTheConnection) {
  for (const std::optional<std::string>& folder : {std::optional<std::string>(), std::optional<std::string>("")}) {
    ScopedVariable device("VELD_DEVICE", folder);
    EXPECT_EQ(init_(), E_FAIL) << folder.value_or("unset");
    EXPECT_EQ(Open(u"x.DAT"), INVALID_HANDLE_VALUE);
  }
  for (const char* name : {"a.DAT", "b.DAT"}) WriteBytes(Device("List/") + name, name);
  ASSERT_EQ(init_(), S_OK);
  HANDLE listing = find_first_(u"List\\*.*", &entry_);
  EXPECT_EQ(init_(), CERAPI_E_ALREADYINITIALIZED);
  HANDLE file = Open(u"List\\b.DAT", OPEN_EXISTING);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  EXPECT_EQ(uninit_(), S_OK);
  EXPECT_EQ(Next(listing), u"b.DAT");
  EXPECT_EQ(Next(listing), u"<end>");
  EXPECT_EQ(uninit_(), S_OK);  // the last one ends the connection and every handle with it
  EXPECT_EQ(Open(u"third.DAT"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(close_(file), FALSE);
}

TEST_F(StandInTest, PathsOutsideTheDeviceNeitherOpenNorCreateNorList) {
  WriteBytes(temp_.device() + "/../escape.DAT", "outside");
  WriteBytes(Device("Inside/escape.DAT"), "inside");
  ASSERT_EQ(init_(), S_OK);
  for (const std::u16string path : {u"..\\escape.DAT", u"Inside\\..\\..\\escape.DAT", u"Inside/../../escape.DAT",
                                    u"\\escape.DAT", u"/escape.DAT", u"C:\\escape.DAT", u"Inside\\.\\escape.DAT",
                                    u"Inside\\esc\x01ape.DAT", u""}) {
    EXPECT_EQ(Open(path), INVALID_HANDLE_VALUE);
    EXPECT_EQ(find_first_(path.c_str(), &entry_), INVALID_HANDLE_VALUE);
  }
  EXPECT_EQ(ReadBytes(temp_.device() + "/../escape.DAT"), "outside");
  EXPECT_EQ(NamesIn(temp_.device()), std::vector<std::string>{"Inside"});
}

}  // namespace
}  // namespace veld::test
