// The result upload lists the local folder once instead of looking up every device name
// on the disk; names it cannot decide that way must still end as the disk would decide.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "device_link_fixture.h"
#include "platform/fault_injection.h"
#include "platform/file_error.h"
#include "platform/format.h"

namespace veld::test {
namespace {

class ResultUploadTest : public DeviceLinkTest {
 protected:
  void SetUp() override {
    MakeDesktopFolder("C:\\VELD\\PC\\TestResults");
    MakeDeviceFolder("Mounted_Volume/VELD/TestResults/DAT");
    ASSERT_TRUE(link_.Connect());
  }
  void PutResultOnDevice(const std::string& name, const std::string& bytes) const {
    PutOnDevice("Mounted_Volume/VELD/TestResults/DAT/" + name, bytes);
  }
  static std::string LocalResults() { return OnDesktop("C:\\VELD\\PC\\TestResults"); }
  void TearDown() override { fault::Disarm(); }

  // count result files on the device, each with bytes of its own, and the names.
  Names PutResultsOnDevice(int count) const {
    Names names;
    for (int i = 0; i < count; ++i) {
      names.push_back(Format("R%04d.DAT", i));
      PutResultOnDevice(names.back(), PatternBytes(100 + static_cast<size_t>(i), static_cast<unsigned>(i)));
    }
    return names;
  }
  // Whether every local result file holds exactly its device file's bytes, and how many there are.
  size_t WholeLocalResults() const {
    size_t whole = 0;
    for (const std::string& name : NamesIn(LocalResults())) {
      EXPECT_EQ(ReadBytes(LocalResults() + "/" + name),
                ReadBytes(OnDevice("Mounted_Volume/VELD/TestResults/DAT/" + name)))
          << name;
      ++whole;
    }
    return whole;
  }
  void RecordProgress() {
    link_.SetUploadProgress([this](size_t done, size_t total) { progress_.push_back({done, total}); });
  }
  std::vector<std::pair<size_t, size_t>> progress_;
};

// The progress from done to done, a file at a time.
std::vector<std::pair<size_t, size_t>> OneByOne(size_t from, size_t to, size_t total) {
  std::vector<std::pair<size_t, size_t>> steps;
  for (size_t done = from; done <= to; ++done) steps.push_back({done, total});
  return steps;
}

// A device name held on the desktop under another letter case (a file or a folder) is
// another file, or another test: it is kept, and the user is told which local file is in
// the way. Of two spellings on the device, the first listed is copied.
TEST_F(ResultUploadTest, NoSpellingOfANameIsCopiedOverAnother) {
  std::filesystem::create_directory(LocalResults() + "/R2.DAT");
  PutOnDesktop("C:\\VELD\\PC\\TestResults\\r3.Dat", "desktop r3");
  for (const char* name : {"R1.DAT", "r1.dat", "R2.DAT", "R3.DAT", "R4.DAT"}) {
    PutResultOnDevice(name, std::string("device ") + name);
  }
  link_.UploadTestResults();
  EXPECT_EQ(NamesIn(LocalResults()), (Names{"R1.DAT", "R2.DAT", "R4.DAT", "r3.Dat"}));
  EXPECT_TRUE(std::filesystem::is_directory(LocalResults() + "/R2.DAT"));
  for (const auto& [name, bytes] :
       {std::pair{"R1.DAT", "device R1.DAT"}, {"r3.Dat", "desktop r3"}, {"R4.DAT", "device R4.DAT"}}) {
    EXPECT_EQ(ReadBytes(LocalResults() + "/" + name), bytes);
  }
  const auto not_copied = [](const std::string& name, const std::string& local) {
    return "\"" + name + "\" in Mounted_Volume\\VELD\\TestResults\\DAT\\ was not copied: C:\\VELD\\PC\\TestResults\\" +
           local + " differs from it only in letter case.";
  };
  EXPECT_EQ(prompter_.Texts(), (Names{not_copied("r1.dat", "R1.DAT"), not_copied("R3.DAT", "r3.Dat")}));
  EXPECT_EQ(link_.FailedCopies(), 2u);
}

// Copies go through a short temporary name that no device file can have: a local file
// named like "<target>.part" survives, and names of 254 and 255 bytes need no room for a
// suffix. A name that no longer fits the local path is skipped and the rest go on.
TEST_F(ResultUploadTest, TemporaryNamesNeitherDestroyFilesNorLimitTheNames) {
  const std::string name254 = std::string(250, 'M') + ".DAT", name255 = std::string(251, 'L') + ".DAT";
  PutOnDesktop("C:\\VELD\\PC\\TestResults\\NOTE.DAT.part", "uploaded earlier");
  for (const std::string& name : {std::string("NOTE.DAT"), name254, name255, std::string("Z.DAT")}) {
    PutResultOnDevice(name, name.substr(0, 4));
  }
  link_.UploadTestResults();
  EXPECT_EQ(NamesIn(LocalResults()), (Names{name255, name254, "NOTE.DAT", "NOTE.DAT.part", "Z.DAT"}));
  EXPECT_EQ(ReadBytes(LocalResults() + "/NOTE.DAT.part"), "uploaded earlier");
  EXPECT_EQ(ReadBytes(LocalResults() + "/" + name255), "LLLL");
  EXPECT_TRUE(prompter_.entries.empty());

  // A root so deep that the folder's path leaves less than 255 bytes before the system's limit.
  std::string deep = temp_.root();
  while (deep.size() < 3800) deep += "/" + std::string(200, 'd');
  ScopedVariable root("VELD_ROOT", deep);
  MakeDesktopFolder("C:\\VELD\\PC\\TestResults");
  link_.UploadTestResults();
  EXPECT_EQ(NamesIn(LocalResults()), (Names{"NOTE.DAT", "Z.DAT"}));
  const std::string tail = "\" in Mounted_Volume\\VELD\\TestResults\\DAT\\ was not copied: the name cannot be used "
                           "as a file name.";
  EXPECT_EQ(prompter_.Texts(), (Names{"\"" + name255 + tail, "\"" + name254 + tail}));
  EXPECT_EQ(link_.FailedCopies(), 2u);
}

TEST_F(ResultUploadTest, MissingLocalFolderEndsTheUploadWithTheFileErrorOfTheFirstCopy) {
  std::filesystem::remove_all(LocalResults());
  PutResultOnDevice("R1.DAT", "r1");
  PutResultOnDevice("R2.DAT", "r2");
  try {
    link_.UploadTestResults();
    ADD_FAILURE() << "no error";
  } catch (const FileError& error) {
    EXPECT_EQ(error.path(), OnDesktop("C:\\VELD\\PC\\TestResults\\R1.DAT"));
  }
  EXPECT_FALSE(std::filesystem::exists(LocalResults()));
}

// Many new files reach the disk in batches, with one flush and one folder sync for each
// batch (600 files: three batches, six syncs, where syncing each file took 1,200). A file
// counts as done only once it is in place, so a failure in the second batch's flush ends
// the upload with the first batch done and reported, nothing of the second left behind,
// and the next upload copies the rest.
TEST_F(ResultUploadTest, FilesArriveInBatchesAndAFailedBatchLeavesNothingThatTheNextUploadDoesNotCopy) {
  const Names names = PutResultsOnDevice(600);
  RecordProgress();
  fault::Arm(*fault::ParsePlan("sync:3:EIO:TestResults"));  // the flush of the second batch
  EXPECT_THROW(link_.UploadTestResults(), FileError);
  EXPECT_TRUE(fault::Struck());
  EXPECT_EQ(WholeLocalResults(), 256u);
  EXPECT_EQ(NamesIn(LocalResults()), Names(names.begin(), names.begin() + 256)) << "a temporary file was left";
  EXPECT_EQ(progress_, OneByOne(0, 256, 600));

  fault::Arm(*fault::ParsePlan("sync:7:EIO:TestResults"));  // more syncs than three batches need
  progress_.clear();
  link_.UploadTestResults();
  EXPECT_FALSE(fault::Struck());
  EXPECT_EQ(NamesIn(LocalResults()), names);
  EXPECT_EQ(WholeLocalResults(), 600u);
  EXPECT_EQ(progress_, OneByOne(0, 344, 344));
  EXPECT_TRUE(prompter_.entries.empty());
}

// Temporary files of uploads that were killed are removed by the next upload into the
// folder: those of an older run (no process id), of a process that has ended (or cannot
// exist) and of this process. A running process's temporary files, names that are not quite ours, and
// folders stay.
TEST_F(ResultUploadTest, TheNextUploadRemovesTheTemporaryFilesOfEndedUploadsAndNothingElse) {
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) _exit(0);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  const std::string ended = Format("..0123456789ab-%d.part", static_cast<int>(child));
  const std::string own = Format("..fedcba987654-%d.part", static_cast<int>(getpid()));
  const Names kept = {"..0123456789AB.part", "..0123456789a.part", "..0123456789ab-.part", "..0123456789ab-1.part",
                      "..0123456789ab-1x.part", "..0123456789ab.DAT", ".R1.DAT.123.tmp", "R0.DAT.part"};
  for (const std::string& name : kept) PutOnDesktop("C:\\VELD\\PC\\TestResults\\" + name, "kept");
  for (const std::string& name : {std::string("..0123456789ab.part"), std::string("..0123456789ab-9999999999.part"),
                                  ended, own}) {
    PutOnDesktop("C:\\VELD\\PC\\TestResults\\" + name, "left by a kill");
  }
  fs::create_directory(LocalResults() + "/..aaaaaaaaaaaa.part");
  PutResultOnDevice("R1.DAT", "r1");
  link_.UploadTestResults();
  Names expected = kept;
  expected.insert(expected.end(), {"..aaaaaaaaaaaa.part", "R1.DAT"});
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(NamesIn(LocalResults()), expected);
}

}  // namespace
}  // namespace veld::test
