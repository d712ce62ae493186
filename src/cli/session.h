#pragma once
// One run of veldane-cli: the desktop's main window without its widgets (CRapiTestDlg, the
// same state and commands the window has), with the terminal as its view. Status texts
// go to stdout as they grow, progress to a terminal's stderr, messages to stderr; the
// commands print the lists and the combo from the window's own state.

#include <string>
#include <vector>

#include "app/main_window.h"
#include "cli/console.h"
#include "cli/pdf_printer.h"

namespace veld::cli {

// Ends a command after its message was shown; main turns it into the exit status.
struct CommandStopped {
  int exit_status;
};

class Session : public MainView {
 public:
  explicit Session(bool answer_yes);

  // The window's start-up; false when the system is locked out. held: this run holds the
  // data root's lock (a command that changes the data). The settings record is read here:
  // every run is a session of its own, and protected printing must apply to it.
  bool StartUp(bool held);

  CRapiTestDlg& window() { return window_; }
  CDataBaseX& pc() { return window_.pc(); }
  CDataBaseX& veld() { return window_.veld(); }
  CDataBaseX& Database(DatabaseSide side) { return window_.Database(side); }
  CCorvaneRAPI& rapi() { return window_.rapi(); }
  StderrPrompter& prompter() { return prompter_; }
  PdfCertificatePrinter& printer() { return printer_; }

  // What the window shows.
  const std::vector<std::string>& Shown(WindowList list) const { return window_.list(list).items; }
  const std::vector<std::string>& combo() const { return window_.result_combo(); }

  // Refills a list and gives the row of each ID in it; a typed ID that is not there stops
  // the command, since the window offers only IDs from its lists.
  std::vector<int> RowsOf(WindowList list, const std::vector<std::string>& ids);

  // MainView
  void ShowList(WindowList, const std::vector<std::string>&) override {}
  void ShowUUTPanel(const std::string&) override {}
  void ShowProfilePanel(const std::string&) override {}
  void ShowStatusText(const std::string& text) override;
  void ShowResultCombo(const std::vector<std::string>&, int) override {}
  void ShowResultRows(const std::vector<ResultRow>&) override {}
  void ShowProgress(const std::string& text, size_t done, size_t total) override;
  void SetBusy(bool) override {}
  void FocusList(WindowList) override {}
  void CloseWindow() override {}

 private:
  StderrPrompter prompter_;
  ConsolePasswordEntry password_entry_;
  PdfCertificatePrinter printer_;
  CRapiTestDlg window_;
  std::string printed_status_;
  TerminalProgress progress_;
};

}  // namespace veld::cli
