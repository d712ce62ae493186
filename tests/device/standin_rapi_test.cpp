// The stand-in library's conventions, called directly through its exported entry points.
// The end-to-end tests cover the ordinary uses; these pin what they cannot see.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <utility>

#include "rapi/rapi_types.h"
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
  CeCreateDirectoryFn create_directory_ = library_.Entry<CeCreateDirectoryFn>("CeCreateDirectory");
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

// Links below the root, to files and folders inside and outside the volume, are absent
// from listings and never opened, created over or walked through, whatever the disposition
// or letter case; a pipe placed on the volume neither opens nor hangs the call.
TEST_F(StandInTest, LinksOnTheVolumeAreNeverFollowed) {
  const std::string outside = temp_.root() + "/outside";
  WriteBytes(outside + "/secret.DAT", "secret");
  WriteBytes(Device("Vol/real.DAT"), "real");
  WriteBytes(Device("Vol/RealDir/x.DAT"), "x");
  const std::pair<const char*, std::string> links[] = {
      {"Vol/out.DAT", outside + "/secret.DAT"}, {"Vol/in.DAT", Device("Vol/real.DAT")},
      {"Vol/OutDir", outside},                  {"Vol/InDir", Device("Vol/RealDir")},
      {"Vol/gone.DAT", outside + "/new.DAT"},   {"Linked", Device("Vol")}};
  for (const auto& [link, target] : links) std::filesystem::create_symlink(target, Device(link));
  ASSERT_EQ(mkfifo(Device("Vol/pipe.DAT").c_str(), 0600), 0);
  ASSERT_EQ(init_(), S_OK);

  HANDLE listing = find_first_(u"Vol\\*.*", &entry_);
  EXPECT_EQ(std::u16string(entry_.cFileName), u"real.DAT");
  EXPECT_EQ(Next(listing), u"RealDir");
  EXPECT_EQ(Next(listing), u"<end>");
  for (const char16_t* pattern : {u"Vol\\OutDir\\*.*", u"Vol\\InDir\\*.*", u"Linked\\*.*", u"LINKED\\*.*"}) {
    EXPECT_EQ(find_first_(pattern, &entry_), INVALID_HANDLE_VALUE);
  }
  for (const std::u16string path : {u"Vol\\out.DAT", u"Vol\\in.DAT", u"Vol\\gone.DAT", u"Vol\\pipe.DAT",
                                    u"Vol\\OutDir\\secret.DAT", u"Vol\\InDir\\x.DAT", u"vol\\indir\\X.DAT",
                                    u"Linked\\real.DAT", u"LINKED\\REAL.dat"}) {
    for (const DWORD creation : {OPEN_EXISTING, OPEN_ALWAYS, CREATE_ALWAYS, TRUNCATE_EXISTING, CREATE_NEW}) {
      EXPECT_EQ(create_(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, creation, 0, nullptr),
                INVALID_HANDLE_VALUE)
          << std::string(path.begin(), path.end()) << " disposition " << creation;
    }
  }
  // Opening a pipe to read would wait for a writer that never comes.
  EXPECT_EQ(create_(u"Vol\\pipe.DAT", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  // Another letter case of a link's name is a name that does not exist yet.
  EXPECT_EQ(Open(u"Vol\\OUT.dat", OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(create_directory_(u"Vol\\OutDir\\made", nullptr), FALSE);

  EXPECT_EQ(ReadBytes(outside + "/secret.DAT"), "secret");
  EXPECT_EQ(NamesIn(outside), std::vector<std::string>{"secret.DAT"});
  EXPECT_EQ(ReadBytes(Device("Vol/real.DAT")), "real");
  EXPECT_EQ(NamesIn(Device("Vol/RealDir")), std::vector<std::string>{"x.DAT"});
  EXPECT_EQ(ReadBytes(Device("Vol/RealDir/x.DAT")), "x");
}

// The two dispositions the link uses, downloads (OPEN_ALWAYS) and uploads (OPEN_EXISTING),
// against a file that exists (under another letter case), one that does not, and a folder:
// a read never creates a file, a write never makes a second spelling of one.
TEST_F(StandInTest, TheLinksDispositionsActOnTheFileTheDeviceWouldName) {
  ASSERT_EQ(init_(), S_OK);
  for (const auto& [creation, access] : {std::pair{OPEN_EXISTING, GENERIC_READ},
                                         {OPEN_ALWAYS, GENERIC_READ | GENERIC_WRITE}}) {
    SCOPED_TRACE(testing::Message() << "disposition " << creation);
    std::filesystem::remove_all(Device("Data"));
    WriteBytes(Device("Data/Existing.DAT"), "old");
    std::filesystem::create_directories(Device("Data/Folder.DAT"));
    HANDLE existing = create_(u"DATA\\existing.dat", access, 0, nullptr, creation, 0, nullptr);
    EXPECT_NE(existing, INVALID_HANDLE_VALUE);
    HANDLE missing = create_(u"Data\\New.DAT", access, 0, nullptr, creation, 0, nullptr);
    EXPECT_EQ(missing != INVALID_HANDLE_VALUE, creation == OPEN_ALWAYS);
    EXPECT_EQ(create_(u"Data\\Folder.DAT", access, 0, nullptr, creation, 0, nullptr), INVALID_HANDLE_VALUE);
    for (HANDLE handle : {existing, missing}) close_(handle);
    EXPECT_EQ(ReadBytes(Device("Data/Existing.DAT")), "old");
    std::vector<std::string> expected = {"Existing.DAT", "Folder.DAT"};
    if (creation == OPEN_ALWAYS) expected.push_back("New.DAT");
    EXPECT_EQ(NamesIn(Device("Data")), expected);
  }
}

}  // namespace
}  // namespace veld::test
