#pragma once
// veldane-cli run as a user runs it, in a child process, on a fresh temporary root and
// calibrator volume.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "database/database.h"
#include "process.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld::test {

class CliFixture : public TempRootTest {
 protected:
  CliFixture() {
    std::filesystem::create_directories(home_ + "/run");
    std::filesystem::permissions(home_ + "/run", std::filesystem::perms::owner_all);
  }

  // The child gets a home folder of its own, where Qt and fontconfig keep their caches.
  // Syncs still pass through the seam, where they count and can fail; only the wait for
  // the disk is skipped, which a killed process does not need and the loops cannot afford.
  std::vector<std::string> Arguments(const std::vector<std::string>& args, const std::string& fault = "") const {
    std::vector<std::string> all = {"HOME=" + home_, "XDG_CACHE_HOME=" + home_ + "/cache",
                                    "XDG_RUNTIME_DIR=" + home_ + "/run", "VELD_TEST_SKIP_SYNC=1"};
    all.insert(all.end(), environment_.begin(), environment_.end());
    if (!fault.empty()) all.push_back("VELD_FAULT=" + fault);
    all.push_back(VELDANE_CLI);
    all.insert(all.end(), args.begin(), args.end());
    return all;
  }
  ProcessResult Cli(const std::vector<std::string>& args, const std::string& input = "",
                    const std::string& fault = "") {
    return RunProcess("/usr/bin/env", Arguments(args, fault), input);
  }

  void MakeDemoVolume() { ASSERT_EQ(RunProcess(VELD_DEMO_VOLUME, {temp_.device()}).exit_status, 0); }
  std::string Root(const std::string& relative) const { return temp_.root() + "/" + relative; }

  // A PC setting as the program reads it, stored first when a value is given.
  std::string PCSetting(const std::string& key, const std::string& value = "") {
    RecordingPrompter prompter;
    CDataBaseX pc(prompter);
    pc.SetDevice(DatabaseSide::PC);
    if (!value.empty()) pc.SetSetting(key, value);
    return pc.GetSettingValue(key);
  }
  void ProtectPrinting() {
    PCSetting("21CFRCompliantMode", "true");
    PCSetting("OperatorChief", "Chief   ADM001  calib8  0101A");
  }
  void SavePCUUTs(const std::vector<UUT>& uuts) {
    RecordingPrompter prompter;
    CDataBaseX pc(prompter);
    pc.SetDevice(DatabaseSide::PC);
    pc.Open();
    for (const UUT& uut : uuts) pc.SaveUUT(uut);
  }

  std::string home_ = temp_.root() + "/../home";
  std::vector<std::string> environment_;  // more NAME=VALUE for the child
};

}  // namespace veld::test
