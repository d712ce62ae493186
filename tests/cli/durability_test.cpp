// What a full disk, a failing disk, a crash or a second program can do to the data:
// veldane-cli in child processes, with a fault injected into one of its file operations
// (VELD_FAULT) or with another veldane-cli working on the same data at the same time.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <thread>

#include "cli_fixture.h"
#include "database/data_root_lock.h"
#include "platform/fault_injection.h"
#include "platform/format.h"

namespace veld {
namespace {
namespace fs = std::filesystem;

constexpr const char* kWrongPassword = "Chief\nADM001\nwrong\n";
constexpr const char* kInjected = "veld: injected fault:";

// Every file (with its bytes) and folder (with nothing) under a folder, by relative path.
using Tree = std::map<std::string, std::optional<std::string>>;

Tree Scan(const std::string& folder, const std::string& prefix) {
  Tree tree;
  if (!fs::exists(folder)) return tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string relative = prefix + fs::relative(entry.path(), folder).string();
    tree[relative] = entry.is_regular_file() ? std::optional(test::ReadBytes(entry.path().string())) : std::nullopt;
  }
  return tree;
}

std::string FileName(const std::string& path) { return fs::path(path).filename().string(); }

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// A file written beside its target (".NAME.PID.tmp") or an upload in progress (".part"):
// nothing that a later run lists or reads as data.
bool IsTemporary(const std::string& path) {
  const std::string name = FileName(path);
  return (name.starts_with(".") && name.ends_with(".tmp")) || name.ends_with(".part");
}

Tree WithoutTemporaries(Tree tree) {
  std::erase_if(tree, [](const auto& entry) { return IsTemporary(entry.first); });
  return tree;
}

// The bytes of the first file whose name is name, ignoring case; empty when there is none.
std::string FileNamed(const Tree& tree, const std::string& prefix, const std::string& name) {
  for (const auto& [path, bytes] : tree) {
    if (bytes && path.starts_with(prefix) && Lower(FileName(path)) == Lower(name)) return *bytes;
  }
  return {};
}

// The paths whose entries differ between two trees, one a line; empty when they are equal.
std::string Differences(const Tree& a, const Tree& b) {
  std::string text;
  for (const auto& [path, bytes] : a) {
    if (!b.contains(path) || b.at(path) != bytes) text += path + "\n";
  }
  for (const auto& [path, bytes] : b) {
    if (!a.contains(path)) text += path + "\n";
  }
  return text;
}

size_t Lines(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// A fresh root and calibrator volume, and veldane-cli run on them as a user would.
class DurabilityTest : public test::CliFixture {
 protected:
  void Succeeds(const std::vector<std::string>& args) {
    const test::ProcessResult result = Cli(args);
    ASSERT_EQ(result.exit_status, 0) << ::testing::PrintToString(args) << ": " << result.err;
  }
  std::string DeviceFile(const std::string& relative) const {
    return temp_.device() + "/Mounted_Volume/VELD/" + relative;
  }
  // A calibrator with its tables, one custom profile and the two result files of PT-1001.
  void MakeSmallDemoVolume() {
    MakeDemoVolume();
    for (const auto& entry : fs::directory_iterator(DeviceFile("TestResults/DAT"))) {
      if (!FileName(entry.path().string()).starts_with("PT-1001_")) fs::remove(entry.path());
    }
  }
  // Settings of an older program: the last three keys missing.
  void DropTheLastSettings() {
    const std::string settings = Root("VELD/PC/System/SystemDataTable.dat");
    test::WriteBytes(settings, test::ReadBytes(settings).substr(0, 30 * 136));
  }

  // Both folders as they stand, the root's entries under "root/" and the device's under "device/".
  Tree Data() const {
    Tree tree = Scan(temp_.root(), "root/");
    tree.merge(Scan(temp_.device(), "device/"));
    return tree;
  }
  // Puts back the entries of tree that differ in now, the state the folders are in.
  void Restore(const Tree& tree, const Tree& now) {
    const auto path_of = [&](const std::string& relative) {
      const bool on_device = relative.starts_with("device/");
      return (on_device ? temp_.device() : temp_.root()) + relative.substr(on_device ? 6 : 4);
    };
    for (auto entry = now.rbegin(); entry != now.rend(); ++entry) {  // contents before their folders
      if (tree.count(entry->first) == 0) fs::remove_all(path_of(entry->first));
    }
    for (const auto& [relative, bytes] : tree) {
      const auto current = now.find(relative);
      if (current != now.end() && current->second == bytes) continue;
      if (bytes) {
        test::WriteBytes(path_of(relative), *bytes);
      } else {
        fs::create_directories(path_of(relative));
      }
    }
  }

  // The IDs of a database's UUT table (0 the PC, 1 the mirror), each as often as it is there.
  std::multiset<std::string> UUTIds(int device) {
    test::RecordingPrompter prompter;
    CDataBaseX database(prompter);
    database.SetDevice(SideOfDeviceFlag(device != 0));
    VectorListTarget combo;
    database.FillCombo(combo, "UUT");
    return {combo.items.begin(), combo.items.end()};
  }
  std::string Log() const {
    const std::string path = Root("VELD/PC/System/SYSTEMLOG.DAT");
    return fs::is_regular_file(path) ? test::ReadBytes(path) : std::string();
  }
  int FailedCount() { return std::atoi(PCSetting("FailedPWAttemptCount").c_str()); }
};

// ---- A fault injected into every file operation of a command -------------------------

enum class Start { Connected, SmallVolume, SettingsLackKeys, ProtectedPrinting };
// How the run after a fault brings the data to what the command would have made of it.
enum class Recovery {
  Repeat,            // the same command again
  RepeatOrDownload,  // the same, or, when the mirror already changed, a download of it
  CountedAgain,      // a failed password attempt again: counted once more
};

struct LoopScenario {
  const char* name;
  Start start;
  std::vector<std::vector<std::string>> preparation;  // commands run first, each succeeding
  std::vector<std::string> command;                   // "{root}" stands for the root folder
  Recovery recovery = Recovery::Repeat;
  std::string input = "";
};

void PrintTo(const LoopScenario& scenario, std::ostream* out) { *out << scenario.name; }

class FaultLoopTest : public DurabilityTest, public ::testing::WithParamInterface<LoopScenario> {
 protected:
  void Prepare() {
    const LoopScenario& scenario = GetParam();
    MakeSmallDemoVolume();
    Succeeds({scenario.start == Start::SmallVolume ? "init" : "connect"});
    if (scenario.start == Start::SettingsLackKeys) DropTheLastSettings();
    if (scenario.start == Start::ProtectedPrinting) ProtectPrinting();
    for (const std::vector<std::string>& command : scenario.preparation) Succeeds(command);
  }
  std::vector<std::string> Command() const {
    std::vector<std::string> command = GetParam().command;
    for (std::string& arg : command) {
      if (const size_t at = arg.find("{root}"); at != std::string::npos) arg.replace(at, 6, temp_.root());
    }
    return command;
  }

  // After a fault: each file holds its old content or its new one, none is lost, and only
  // a killed run leaves anything beside them, under a name no listing takes for data.
  void ExpectOldOrNew(const Tree& now, const Tree& before, const Tree& after, bool killed) {
    for (const auto& [path, bytes] : now) {
      if (IsTemporary(path)) {
        EXPECT_TRUE(killed) << path << " was left behind after a failure that was reported";
        continue;
      }
      if (path.ends_with("SYSTEMLOG.DAT")) continue;  // appended to, not replaced; see below
      const auto old_entry = before.find(path), new_entry = after.find(path);
      EXPECT_TRUE((old_entry != before.end() && old_entry->second == bytes) ||
                  (new_entry != after.end() && new_entry->second == bytes))
          << path << " holds neither its old content nor its new one";
    }
    for (const auto& [path, bytes] : before) {
      if (after.count(path) != 0 && now.count(path) == 0) ADD_FAILURE() << path << " was lost";
    }
    EXPECT_LE(Lines(Log()), static_cast<size_t>(FailedCount())) << "a failed attempt was logged but not counted";
  }

  void Recover(const test::ProcessResult& clean, const Tree& after) {
    const LoopScenario& scenario = GetParam();
    if (scenario.recovery == Recovery::CountedAgain) {
      const int counted = FailedCount();
      const test::ProcessResult again = Cli(Command(), scenario.input);
      EXPECT_EQ(again.exit_status, clean.exit_status);
      EXPECT_EQ(again.err, clean.err);
      EXPECT_EQ(FailedCount(), counted + 1);
      return;
    }
    const Tree now = Data();
    const bool mirror_changed = FileNamed(now, "root/VELD/VELD/UUT/", "UUTTable_PPCBK.dat") ==
                                FileNamed(after, "root/VELD/VELD/UUT/", "UUTTable_PPCBK.dat");
    // A delete already made in the mirror cannot be made again; the mirror goes to the
    // calibrator instead.
    const bool download = scenario.recovery == Recovery::RepeatOrDownload && mirror_changed;
    const test::ProcessResult next = download ? Cli({"download", "uut"}) : Cli(Command(), scenario.input);
    EXPECT_EQ(next.exit_status, 0) << next.err;
    if (!download) {
      EXPECT_EQ(next.out, clean.out);
    }
    EXPECT_EQ(Differences(WithoutTemporaries(Data()), after), "") << "differ from what the command makes";
  }
};

// Loops over every file operation of the command (open, write, sync, rename, truncate,
// remove): each in turn fails with EIO, ends the process, and, for writes, meets a full
// disk. The loop ends where the command has no operation left to fault.
TEST_P(FaultLoopTest, EveryFaultIsReportedLeavesOldOrNewContentAndTheNextRunSucceeds) {
  Prepare();
  const Tree before = Data();
  const test::ProcessResult clean = Cli(Command(), GetParam().input);
  ASSERT_EQ(clean.err.find(kInjected), std::string::npos);
  const Tree after = Data();
  ASSERT_EQ(Differences(after, WithoutTemporaries(after)), "");

  std::map<std::string, int> points;
  Tree state = before;          // the data as the last run left it
  std::vector<Tree> recovered;  // states whose next run was tried and succeeded
  for (const char* plan : {"any:%d:EIO", "any:%d:kill", "write:%d:ENOSPC"}) {
    for (int n = 1;; ++n) {
      if (HasFailure()) return;  // the first point that fails says enough
      if (state != before) Restore(before, state);
      state = before;
      const std::string fault = Format(plan, n);
      SCOPED_TRACE(fault);
      const test::ProcessResult faulted = Cli(Command(), GetParam().input, fault);
      const size_t injected = faulted.err.find(kInjected);
      if (injected == std::string::npos) {  // past the command's last operation
        EXPECT_EQ(faulted.exit_status, clean.exit_status);
        state = Data();
        break;
      }
      ++points[fault.substr(0, fault.find(':')) + fault.substr(fault.rfind(':'))];
      const bool killed = fault.ends_with("kill");
      if (killed) {
        EXPECT_EQ(faulted.exit_status, fault::kKilledExitStatus) << faulted.err;
      } else {
        EXPECT_NE(faulted.exit_status, 0);
        std::string report = faulted.err;
        report.erase(injected, report.find('\n', injected) + 1 - injected);
        EXPECT_NE(report, "") << "the failure was not reported";
      }
      const Tree now = Data();
      ExpectOldOrNew(now, before, after, killed);
      // The next run from a state already met would repeat a run already tried: a fault
      // that changed nothing leaves the state the clean run started from, and faults at
      // different points often leave the same state.
      state = now;
      if (now != before && std::find(recovered.begin(), recovered.end(), now) == recovered.end()) {
        Recover(clean, after);
        state = Data();
        recovered.push_back(now);
      }
    }
  }
  if (HasFailure()) return;
  // A plan the program did not take would end every loop at once, having tried nothing.
  for (const char* kind : {"any:EIO", "any:kill", "write:ENOSPC"}) EXPECT_GT(points[kind], 0) << kind;
  int total = 0;
  std::string detail;
  for (const auto& [kind, count] : points) {
    total += count;
    detail += (detail.empty() ? "" : ", ") + kind + " " + std::to_string(count);
  }
  RecordProperty("injection_points", total);
  std::printf("[  POINTS  ] %s: %d injection points, all survived (%s)\n", GetParam().name, total, detail.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FaultLoopTest,
    ::testing::Values(
        LoopScenario{"UUTIntoPC", Start::Connected, {}, {"transfer", "uut", "to-pc", "TX-2002"}},
        LoopScenario{"UUTIntoVELD",
                     Start::Connected,
                     {{"transfer", "uut", "to-pc", "TX-2002"}, {"--yes", "delete", "uut", "TX-2002", "--veld"}},
                     {"transfer", "uut", "to-veld", "TX-2002"}},
        LoopScenario{"ProfileIntoPC", Start::Connected, {}, {"transfer", "profile", "to-pc", "Custom-4"}},
        LoopScenario{"ProfileIntoVELD",
                     Start::Connected,
                     {{"transfer", "profile", "to-pc", "Custom-4"},
                      {"--yes", "delete", "profile", "Custom-4", "--veld"}},
                     {"transfer", "profile", "to-veld", "Custom-4"}},
        LoopScenario{"DeleteFromVELD", Start::Connected, {}, {"--yes", "delete", "uut", "PT-1001", "--veld"},
                     Recovery::RepeatOrDownload},
        LoopScenario{"SettingsCompletedAtStartUp", Start::SettingsLackKeys, {}, {"init"}},
        LoopScenario{"FailedPasswordAttempt", Start::ProtectedPrinting, {},
                     {"certificate", "PT-1001_0001.DAT", "PT-1001_0002.DAT", "-o", "{root}/out.pdf"},
                     Recovery::CountedAgain, kWrongPassword},
        LoopScenario{"ConnectOfASmallVolume", Start::SmallVolume, {}, {"connect"}}),
    [](const ::testing::TestParamInfo<LoopScenario>& info) { return std::string(info.param.name); });

// ---- A connect killed in the middle of a batch of result files -----------------------

// New result files reach the disk in batches: copied under temporary names, flushed
// together, then renamed. A connect of some 300 new files (two batches) is killed while
// the first batch is copied, at its flush, among its renames and at the second batch's
// flush: no result file is ever there cut short, and the next connect copies what is
// missing and removes what the killed one left beside.
TEST_F(DurabilityTest, AConnectKilledInABatchLeavesNoPartResultAndTheNextHealsIt) {
  MakeSmallDemoVolume();
  const std::string device_folder = DeviceFile("TestResults/DAT");
  const std::string sample = test::ReadBytes(device_folder + "/PT-1001_0001.DAT");
  for (int i = 0; i < 300; ++i) test::WriteBytes(device_folder + Format("/PT-1001_%04d.DAT", 1000 + i), sample);
  const Tree device_results = Scan(device_folder, "");
  const std::string results = Root("VELD/PC/TestResults");
  for (const char* plan : {"write:200:kill:TestResults", "sync:1:kill:TestResults", "rename:100:kill:TestResults",
                           "sync:3:kill:TestResults"}) {
    SCOPED_TRACE(plan);
    fs::remove_all(Root("VELD"));
    const test::ProcessResult killed = Cli({"connect"}, "", plan);
    ASSERT_EQ(killed.exit_status, fault::kKilledExitStatus) << killed.err;
    for (const auto& [name, bytes] : Scan(results, "")) {
      if (!IsTemporary(name)) {
        EXPECT_EQ(bytes, device_results.at(name)) << name << " is not its device file";
      }
    }
    const test::ProcessResult next = Cli({"connect"});
    EXPECT_EQ(next.exit_status, 0) << next.err;
    EXPECT_EQ(Differences(Scan(results, ""), device_results), "");
  }
}

// ---- A full disk while a table is written ----------------------------------------------

struct FullDiskCase {
  const char* name;
  const char* table;  // the file whose writes meet the full disk
  std::vector<std::string> command;
};

void PrintTo(const FullDiskCase& c, std::ostream* out) { *out << c.name; }

class FullDiskTest : public DurabilityTest, public ::testing::WithParamInterface<FullDiskCase> {};

// The disk fills up in the middle of the table's first write: the command says so and
// fails, the table keeps its old content, and the next run works on it as before.
TEST_P(FullDiskTest, LeavesTheTableAsItWasAndTheNextRunWorks) {
  MakeDemoVolume();
  Succeeds({"connect"});
  if (GetParam().command == std::vector<std::string>{"init"}) DropTheLastSettings();
  const Tree before = Data();
  const test::ProcessResult full = Cli(GetParam().command, "", std::string("write:1:ENOSPC:") + GetParam().table);
  EXPECT_EQ(full.exit_status, 1);
  EXPECT_NE(full.err.find("There is not enough space on the disk to write "), std::string::npos) << full.err;
  EXPECT_EQ(Differences(Data(), before), "");

  const test::ProcessResult next = Cli(GetParam().command);
  EXPECT_EQ(next.exit_status, 0);
  EXPECT_EQ(next.err, "");
  EXPECT_EQ(Cli({"uuts"}).err + Cli({"profiles"}).err, "");
  EXPECT_EQ(fs::file_size(Root("VELD/PC/System/SystemDataTable.dat")), 33 * 136u);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, FullDiskTest,
    ::testing::Values(
        FullDiskCase{"SettingsCompletedAtStartUp", "SystemDataTable", {"init"}},
        FullDiskCase{"UUTAppended", "UUTTable.dat", {"transfer", "uut", "to-pc", "PT-1001"}},
        FullDiskCase{"ProfileAppended", "TestProfileTable.dat", {"transfer", "profile", "to-pc", "Both-Leak"}},
        FullDiskCase{"CustomPointsWritten", "Custom-4_Custom", {"transfer", "profile", "to-pc", "Custom-4"}},
        FullDiskCase{"MirrorRecordDeleted", "UUTTable_PPCBK", {"--yes", "delete", "uut", "PT-1001", "--veld"}}),
    [](const ::testing::TestParamInfo<FullDiskCase>& info) { return std::string(info.param.name); });

// A report file that meets a full disk keeps what it held: an earlier export, chart or
// certificate the user chose to replace is not left as part of the new one.
TEST_F(DurabilityTest, AReportFileThatMeetsAFullDiskKeepsItsOldContent) {
  MakeDemoVolume();
  Succeeds({"connect"});
  const std::string pair[] = {"PT-1001_0001.DAT", "PT-1001_0002.DAT"};
  for (const auto& [name, command] :
       {std::pair<std::string, std::vector<std::string>>{"out.csv", {"--yes", "export", pair[0], "-o", Root("out.csv")}},
        {"out.png", {"--yes", "chart", pair[0], pair[1], "-o", Root("out.png")}},
        {"out.pdf", {"--yes", "certificate", pair[0], pair[1], "-o", Root("out.pdf")}}}) {
    SCOPED_TRACE(name);
    test::WriteBytes(Root(name), "earlier");
    const test::ProcessResult full = Cli(command, "", "write:1:ENOSPC:" + name);
    EXPECT_EQ(full.exit_status, 1);
    EXPECT_NE(full.err.find("There is not enough space on the disk to write "), std::string::npos) << full.err;
    EXPECT_EQ(test::ReadBytes(Root(name)), "earlier");
    EXPECT_EQ(Cli(command).exit_status, 0);
    EXPECT_NE(test::ReadBytes(Root(name)), "earlier");
  }
}

// ---- Failed password attempts ---------------------------------------------------------

// Each wrong guess is ended by a kill as it starts to write the log: every one of them
// has been counted, and the third locks the system down.
TEST_F(DurabilityTest, AFailedAttemptIsCountedBeforeItIsLogged) {
  MakeDemoVolume();
  Succeeds({"connect"});
  ProtectPrinting();
  for (int guess = 1; guess <= 3; ++guess) {
    EXPECT_EQ(Cli({"certificate", "PT-1001_0001.DAT", "PT-1001_0002.DAT", "-o", Root("out.pdf")}, kWrongPassword,
                  "open:1:kill:SYSTEMLOG")
                  .exit_status,
              fault::kKilledExitStatus);
    EXPECT_EQ(FailedCount(), guess);
  }
  EXPECT_EQ(PCSetting("LockedOut"), "true");
  EXPECT_EQ(Cli({"init"}).exit_status, 3);
  EXPECT_EQ(Log(), "");
}

// ---- Two programs on the same data ----------------------------------------------------

// Each round runs two veldane-cli at once: a transfer of a new UUT into the mirror (and
// so onto the calibrator) beside a connect, a delete from the mirror, or a transfer into
// the PC database. Whatever order they end up in, the result is the same, so after every
// round the mirror, the calibrator and the PC table hold exactly the expected IDs. In the
// first rounds the transfer is held up at one of its operations on the mirror (each of its
// first seven beside each kind of second program), and the second starts while it waits.
TEST_F(DurabilityTest, TwoProgramsAtOnceLoseDuplicateAndResurrectNothing) {
  MakeDemoVolume();
  Succeeds({"connect"});
  constexpr int kRounds = 50;
  std::vector<UUT> fresh(kRounds);
  std::multiset<std::string> pc_ids = {"7395R25WB2DQ8C", "73950R5WB2DQ8C"};
  for (int round = 0; round < kRounds; ++round) fresh[round].ID = Format("NEW-%02d", round);
  for (const UUT& uut : fresh) pc_ids.insert(uut.ID);
  SavePCUUTs(fresh);
  std::multiset<std::string> mirror_ids = UUTIds(1);  // the demo calibrator's UUTs

  const std::string mirror_path = Root("VELD/VELD/UUT/UUTTable_PPCBK.dat");
  const std::string device_path = DeviceFile("UUT/UUTTable.DAT");
  const char* const kDemo[] = {"DG-3001", "PS-4001", "PT-1002", "TX-2001", "TX-2002"};
  for (int round = 0; round < kRounds; ++round) {
    const std::string id = Format("NEW-%02d", round);
    std::vector<std::string> other;
    switch (round % 3) {
      case 0: other = {"connect"}; break;
      case 1:
        other = {"--yes", "delete", "uut", Format("NEW-%02d", round - 1), "--veld"};
        mirror_ids.erase(Format("NEW-%02d", round - 1));
        break;
      case 2:
        other = {"transfer", "uut", "to-pc", kDemo[round % 5]};
        if (!pc_ids.count(kDemo[round % 5])) pc_ids.insert(kDemo[round % 5]);
        break;
    }
    mirror_ids.insert(id);
    const std::string held_up = round < 21 ? Format("any:%d:delay:UUTTable_PPCBK", 1 + round / 3) : "";
    test::RunningProcess transfer("/usr/bin/env", Arguments({"transfer", "uut", "to-veld", id}, held_up));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    test::RunningProcess second("/usr/bin/env", Arguments(other));
    const test::ProcessResult first_result = transfer.Wait(), second_result = second.Wait();
    ASSERT_EQ(first_result.exit_status, 0) << "round " << round << ": " << first_result.err;
    ASSERT_EQ(second_result.exit_status, 0) << "round " << round << ": " << second_result.err;

    ASSERT_EQ(test::ReadBytes(mirror_path), test::ReadBytes(device_path))
        << "round " << round << ": the mirror and the calibrator differ";
    ASSERT_EQ(UUTIds(1), mirror_ids) << "round " << round;
    ASSERT_EQ(UUTIds(0), pc_ids) << "round " << round;
  }
  EXPECT_EQ(Differences(Data(), WithoutTemporaries(Data())), "");
}

// While another program holds the data root, a changing command waits its bounded time,
// then says the data is busy and changes nothing; a listing does not wait at all.
TEST_F(DurabilityTest, ASecondProgramWaitsThenSaysTheDataIsBusyAndChangesNothing) {
  using std::chrono::milliseconds;
  MakeDemoVolume();
  Succeeds({"connect"});
  const std::string csv = Root("new.csv");
  test::WriteBytes(csv, Cli({"uuts", "--csv"}).out +
                            "NEW-1,,,,,3WIR,24,psi,0,100,VDC,0,5,0.25,0.5,5000,64,0.001,0.0001,3pointtest\r\n");
  const Tree before = Data();
  std::optional<DataRootLock> held = DataRootLock::Acquire(milliseconds(0));
  ASSERT_TRUE(held);
  environment_ = {"VELD_LOCK_WAIT_MS=300"};
  for (const std::vector<std::string>& change :
       {std::vector<std::string>{"transfer", "uut", "to-pc", "PT-1001"}, {"import-uuts", csv}}) {
    SCOPED_TRACE(change.front());
    const auto start = std::chrono::steady_clock::now();
    const test::ProcessResult busy = Cli(change);
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(300));
    EXPECT_EQ(busy.exit_status, 1);
    EXPECT_EQ(busy.err, std::string(DataRootLock::kBusyMessage) + "\n");
  }
  EXPECT_EQ(Differences(Data(), before), "");
  const test::ProcessResult listing = Cli({"uuts", "--veld"});
  EXPECT_EQ(listing.exit_status, 0);
  EXPECT_NE(listing.out.find("PT-1001\n"), std::string::npos);
  held.reset();
  EXPECT_EQ(Cli({"transfer", "uut", "to-pc", "PT-1001"}).exit_status, 0);
  const test::ProcessResult imported = Cli({"import-uuts", csv});
  EXPECT_EQ(imported.exit_status, 0) << imported.err;
  EXPECT_NE(imported.out.find("1 created"), std::string::npos) << imported.out;
}

// ---- An old-format UUT table on the calibrator ----------------------------------------

// The calibrator's table in the format of 276-byte records: the first 276 bytes of each
// current record.
std::string OldFormat(const std::string& table) {
  std::string old;
  for (size_t at = 0; at + 568 <= table.size(); at += 568) old += table.substr(at, 276);
  return old;
}

// The first connect converts the calibrator's old table and keeps it as the backup; the
// second finds the backup there and goes on all the same, to the profiles and beyond.
TEST_F(DurabilityTest, AnOldFormatTableOnTheCalibratorIsConvertedAtEveryConnect) {
  MakeDemoVolume();
  const std::string old = OldFormat(test::ReadBytes(DeviceFile("UUT/UUTTable.DAT")));
  test::WriteBytes(DeviceFile("UUT/UUTTable.DAT"), old);
  for (int connect = 1; connect <= 2; ++connect) {
    fs::remove(Root("VELD/VELD/TestProfile/Custom-4_Custom.DAT"));
    const test::ProcessResult result = Cli({"connect"});
    EXPECT_EQ(result.exit_status, 0) << "connect " << connect << ": " << result.err;
    EXPECT_TRUE(fs::exists(Root("VELD/VELD/TestProfile/Custom-4_Custom.DAT"))) << "connect " << connect;
    EXPECT_EQ(fs::file_size(Root("VELD/VELD/UUT/UUTTable_PPCBK.dat")), old.size() / 276 * 568u);
  }
  EXPECT_EQ(test::ReadBytes(Root("VELD/VELD/UUT/UUTTable_PPCBK_Backup.dat")), old);
}

}  // namespace
}  // namespace veld
