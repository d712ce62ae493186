#pragma once
// The main window's commands without a display: a recording view, scripted dialogs and a
// stand-in calibrator volume made from the tables a fresh PC database creates.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "device/device_link_fixture.h"
#include "support/fake_window_services.h"
#include "support/result_file_writer.h"

namespace veld::test {

// Remembers what the window was last told to show, and every status text.
class RecordingView : public MainView {
 public:
  void ShowList(WindowList list, const std::vector<std::string>& ids) override { lists[list] = ids; }
  void ShowUUTPanel(const std::string& text) override { uut_panel = text; }
  void ShowProfilePanel(const std::string& text) override { profile_panel = text; }
  void ShowStatusText(const std::string& text) override { statuses.push_back(text); }
  void ShowResultCombo(const std::vector<std::string>& items, int selected) override {
    combo = items;
    combo_selection = selected;
  }
  void ShowResultRows(const std::vector<ResultRow>& shown) override { rows = shown; }
  void ShowProgress(const std::string&, size_t done, size_t total) override { progress.push_back({done, total}); }
  void SetBusy(bool now_busy) override { busy = now_busy; }
  void FocusList(WindowList list) override { focused = list; }
  void CloseWindow() override { closed = true; }

  std::map<WindowList, std::vector<std::string>> lists;
  std::string uut_panel, profile_panel;
  std::vector<std::string> statuses;
  std::vector<std::string> combo;
  int combo_selection = -2;
  std::vector<ResultRow> rows;
  std::vector<std::pair<size_t, size_t>> progress;
  bool busy = false;
  std::optional<WindowList> focused;
  bool closed = false;
};

// A window over a fresh data root, with a calibrator volume that holds a copy of the
// tables a fresh PC database creates (plus what each test puts there).
class WindowTest : public DeviceLinkTest {
 protected:
  WindowTest() { MakeWindow(); }

  void MakeWindow() {
    window_.reset();
    view_ = RecordingView();
    window_ = std::make_unique<CRapiTestDlg>(
        view_, WindowServices{prompter_, password_, printer_, &save_as_, &administrator_, &uut_editor_,
                              &profile_editor_, report_windows_, &open_file_, &certificate_header_});
    CalibratorSearch search;
    search.environment_device = temp_.device();
    window_->SetCalibratorSearch(search);
  }

  // Start-up, then the PC tables copied to the device as the calibrator's own.
  void StartWithCalibrator() {
    ASSERT_TRUE(window_->StartUp());
    PutOnDevice(Veld("UUT/UUTTable.DAT"), ReadBytes(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat")));
    PutOnDevice(Veld("TestProfile/TestProfileTable.DAT"),
                ReadBytes(HostPath("C:\\VELD\\PC\\TestProfile\\TestProfileTable.dat")));
    PutOnDevice(Veld("System/SystemDataTable.DAT"),
                ReadBytes(HostPath("C:\\VELD\\PC\\System\\SystemDataTable.dat")));
    MakeDeviceFolder(Veld("TestResults/DAT"));
  }

  static std::string Veld(const std::string& relative) { return "Mounted_Volume/VELD/" + relative; }

  // A result file on the calibrator.
  void PutResult(const std::string& name, const std::string& uut_id, bool as_found, const OleDateTime& tested) {
    ResultFileDescription desc = DefaultResultFileDescription();
    desc.uut.ID = uut_id;
    desc.as_found = as_found;
    desc.date_tested = tested;
    PutOnDevice(Veld("TestResults/DAT/" + name), BuildResultFile(desc));
  }

  const std::vector<std::string>& Shown(WindowList list) { return view_.lists[list]; }
  int RowOf(WindowList list, const std::string& id) {
    const auto& items = window_->list(list).items;
    const auto found = std::find(items.begin(), items.end(), id);
    EXPECT_NE(found, items.end()) << id;
    return static_cast<int>(found - items.begin());
  }
  void Click(WindowList list, const std::vector<std::string>& ids) {
    std::vector<int> rows;
    for (const std::string& id : ids) rows.push_back(RowOf(list, id));
    window_->OnListClicked(list, rows);
  }
  void ChooseResultUUT(const std::string& id) {
    const auto& items = window_->result_combo();
    const auto found = std::find(items.begin(), items.end(), id);
    ASSERT_NE(found, items.end()) << id;
    window_->OnResultUUTChosen(static_cast<int>(found - items.begin()));
  }
  void SelectResults(const std::vector<std::string>& file_names) {
    std::vector<int> rows;
    for (const std::string& name : file_names) {
      for (size_t i = 0; i < window_->result_rows().size(); ++i) {
        if (window_->result_rows()[i].file_name == name) rows.push_back(static_cast<int>(i));
      }
    }
    ASSERT_EQ(rows.size(), file_names.size());
    window_->OnResultSelectionChanged(rows);
  }

  RecordingView view_;
  ScriptedPasswordEntry password_;
  RecordingPrinter printer_;
  ScriptedSaveAs save_as_;
  ScriptedAdministrator administrator_;
  ScriptedUUTEditor uut_editor_;
  ScriptedProfileEditor profile_editor_;
  ScriptedOpenFile open_file_;
  ScriptedCertificateHeader certificate_header_;
  ReportWindows* report_windows_ = nullptr;  // the chart, history and due date windows, where a test has them
  std::unique_ptr<CRapiTestDlg> window_;
};

}  // namespace veld::test
