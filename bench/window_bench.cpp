#include "window_bench.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTreeView>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <stdexcept>

#include "bench_data.h"
#include "database/database.h"
#include "platform/host_path.h"
#include "support/result_file_writer.h"
#include "ui/desktop_program.h"

extern char** environ;

namespace veld::bench {
namespace {
namespace fs = std::filesystem;

// The UUT of the selection workload: every result file of its folder is one of its.
constexpr const char* kBusyUut = "BUSY-1";

class QuietPrompter : public Prompter {
 public:
  void Message(const std::string&, MessageIcon) override {}
  bool AskYesNo(const std::string&) override { return true; }
};

class NoFolderStore : public CalibratorFolderStore {
 public:
  std::string Load() override { return {}; }
  void Save(const std::string&) override {}
};

// Runs a program to its end with the current environment; false unless it exits 0.
bool RunProgram(const std::string& path, const std::vector<std::string>& args = {}) {
  std::vector<char*> argv{const_cast<char*>(path.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  // Its status lines would land in the middle of the summary table.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const bool spawned = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  if (!spawned) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void SetAside(const WorkFolder& work, const std::string& folder) {
  static int next = 0;
  fs::create_directories(work.Trash());
  if (fs::exists(folder)) fs::rename(folder, work.Trash() + "/window-" + std::to_string(++next));
}

// The tables of a fresh PC database, as a calibrator would hold them.
void PutTablesOnDevice(const std::string& device_root) {
  const std::string scratch = device_root + "-tables";
  fs::create_directories(scratch);
  UseRoots(scratch, device_root);
  QuietPrompter prompter;
  CDataBaseX pc(prompter);
  pc.SetDevice(DatabaseSide::PC);
  pc.Open();
  const fs::path veld = fs::path(device_root) / "Mounted_Volume" / "VELD";
  for (const auto& [from, to] : {std::pair{"C:\\VELD\\PC\\UUT\\UUTTable.dat", "UUT/UUTTable.DAT"},
                                 {"C:\\VELD\\PC\\TestProfile\\TestProfileTable.dat", "TestProfile/TestProfileTable.DAT"},
                                 {"C:\\VELD\\PC\\System\\SystemDataTable.dat", "System/SystemDataTable.DAT"}}) {
    fs::create_directories((veld / to).parent_path());
    fs::copy_file(HostPath(from), veld / to, fs::copy_options::overwrite_existing);
  }
  fs::create_directories(veld / "TestResults" / "DAT");
}

std::string SelectionRoot(const WorkFolder& work, int count) {
  return work.path() + "/root-one-uut-" + std::to_string(count);
}
std::string SelectionDevice(const WorkFolder& work) { return work.path() + "/device-tables-only"; }
std::string ConnectDevice(const WorkFolder& work, int count) {
  return work.path() + "/device-window-" + std::to_string(count);
}
std::string ConnectRoot(const WorkFolder& work) { return work.path() + "/root-window-connect"; }
std::string StartupRoot(const WorkFolder& work) { return work.path() + "/root-window-startup"; }

// The desktop program as veldane-manager builds it, with quiet message boxes.
struct Program {
  QuietPrompter prompter;
  NoFolderStore store;
  std::unique_ptr<DesktopProgram> program;
  Program() {
    DesktopOverrides overrides;
    overrides.prompter = &prompter;
    overrides.calibrator_folder = &store;
    program = std::make_unique<DesktopProgram>(overrides);
    if (!program->StartUp()) throw std::runtime_error("locked out");
    program->widget().show();
    QCoreApplication::processEvents();
  }
};

// Starts a start-up probe and times it until it says its window is shown; its tear-down
// afterwards is not start-up and runs with the clock stopped. False unless it said so and
// then exited 0.
bool TimeUntilShown(benchmark::State& state, const std::string& probe, const char* option = nullptr) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  char* argv[] = {const_cast<char*>(probe.c_str()), const_cast<char*>(option), nullptr};
  pid_t pid = 0;
  const bool spawned = posix_spawn(&pid, probe.c_str(), &actions, nullptr, argv, environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_ends[1]);
  char said = 0;
  const bool shown = spawned && read(pipe_ends[0], &said, 1) == 1 && said == 's';
  state.PauseTiming();
  char rest[64];
  while (read(pipe_ends[0], rest, sizeof rest) > 0) {
  }
  close(pipe_ends[0]);
  int status = 0;
  const bool ended = spawned && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  state.ResumeTiming();
  return shown && ended;
}

void StartWindow(benchmark::State& state, const WorkFolder& work) {
  UseRoots(StartupRoot(work), SelectionDevice(work));
  for (auto _ : state) {
    if (!TimeUntilShown(state, VELD_BENCH_WINDOW_STARTUP_PROBE)) state.SkipWithError("the window did not show");
  }
}

void StartMinimalWindow(benchmark::State& state, const char* option = nullptr) {
  for (auto _ : state) {
    if (!TimeUntilShown(state, VELD_BENCH_MINIMAL_WINDOW_PROBE, option)) {
      state.SkipWithError("the minimal window did not show");
    }
  }
}

// Choosing the UUT in the combo until its rows are in the results list, painted.
void SelectBusyUut(benchmark::State& state, const WorkFolder& work, int count) {
  UseRoots(SelectionRoot(work, count), SelectionDevice(work));
  Program desktop;
  CRapiTestDlg& window = desktop.program->window();
  window.OnConnect();  // fills the combo; every result is already on the desktop
  const auto& combo = window.result_combo();
  const auto busy = std::find(combo.begin(), combo.end(), kBusyUut);
  if (busy == combo.end()) {
    state.SkipWithError("the UUT is not in the combo");
    return;
  }
  const int index = static_cast<int>(busy - combo.begin());
  QTreeView* results = desktop.program->widget().resultsView();
  for (auto _ : state) {
    window.OnResultUUTChosen(index);
    QCoreApplication::processEvents();
    if (results->model()->rowCount() != count) state.SkipWithError("wrong number of rows");
  }
}

void ListBusyUut(benchmark::State& state, const WorkFolder& work, int count) {
  UseRoots(SelectionRoot(work, count), SelectionDevice(work));
  QuietPrompter prompter;
  CDataBaseX pc(prompter);
  pc.SetDevice(DatabaseSide::PC);
  for (auto _ : state) {
    VectorResultList list;
    TestResults record;
    pc.ListTestResults(list, kBusyUut, record);
    if (list.rows.size() != static_cast<size_t>(count)) state.SkipWithError("wrong number of rows");
  }
}

// Connect on an open window, every result file new.
void ConnectInWindow(benchmark::State& state, const WorkFolder& work, int count) {
  for (auto _ : state) {
    state.PauseTiming();
    SetAside(work, ConnectRoot(work));
    fs::create_directories(ConnectRoot(work));
    UseRoots(ConnectRoot(work), ConnectDevice(work, count));
    auto desktop = std::make_unique<Program>();
    state.ResumeTiming();
    desktop->program->window().OnConnect();
    state.PauseTiming();
    if (desktop->program->window().result_combo().empty()) state.SkipWithError("nothing uploaded");
    desktop.reset();
    state.ResumeTiming();
  }
}

void ConnectWithCli(benchmark::State& state, const WorkFolder& work, int count) {
  for (auto _ : state) {
    state.PauseTiming();
    SetAside(work, ConnectRoot(work));
    fs::create_directories(ConnectRoot(work));
    UseRoots(ConnectRoot(work), ConnectDevice(work, count));
    state.ResumeTiming();
    if (!RunProgram(VELD_BENCH_CLI, {"connect"})) state.SkipWithError("veldane-cli connect failed");
  }
}

}  // namespace

void PrepareWindowData(const WorkFolder& work, int count) {
  if (!fs::exists(SelectionDevice(work))) PutTablesOnDevice(SelectionDevice(work));
  const std::string results = SelectionRoot(work, count) + "/VELD/PC/TestResults";
  if (!fs::exists(results)) {
    test::ResultFileDescription description = test::DefaultResultFileDescription();
    description.uut.ID = kBusyUut;
    for (int i = 0; i < count; ++i) {
      description.as_found = i % 2 == 0;
      description.date_tested = OleDateTime(2020 + i / 4000, 1 + i % 12, 1 + i % 28, 8, 0, 0);
      test::WriteResultFile(results + "/" + ResultFilePrefix(kBusyUut) + std::to_string(100000 + i) + ".DAT",
                            description);
    }
  }
  const std::string device = ConnectDevice(work, count);
  if (!fs::exists(device)) {
    PutTablesOnDevice(device);
    fs::copy(work.DeviceResults(count), device + "/Mounted_Volume/VELD/TestResults/DAT");
  }
  fs::create_directories(StartupRoot(work));
  UseRoots(StartupRoot(work), SelectionDevice(work));
  QuietPrompter prompter;
  CDataBaseX pc(prompter);  // the start-up workload finds its tables made
  pc.SetDevice(DatabaseSide::PC);
  pc.Open();
}

std::vector<WindowWorkload> WindowWorkloads(const WorkFolder& work, int count) {
  return {
      {"window_startup", 1, 10, [=](auto& s) { StartWindow(s, work); }, [](auto& s) { StartMinimalWindow(s); }},
      // Not a target of its own: how far above the empty window a window with one line of
      // text already starts, beside which window_startup's ratio reads.
      {"text_window_startup", 1, 10, [](auto& s) { StartMinimalWindow(s, "--text"); },
       [](auto& s) { StartMinimalWindow(s); }},
      {"window_select_uut", count, 3, [=](auto& s) { SelectBusyUut(s, work, count); },
       [=](auto& s) { ListBusyUut(s, work, count); }},
      {"window_connect_all_new", count, 1, [=](auto& s) { ConnectInWindow(s, work, count); },
       [=](auto& s) { ConnectWithCli(s, work, count); }},
  };
}

}  // namespace veld::bench
