#pragma once
// What the main window shows, as the window's commands tell it. The desktop implements it
// with widgets, the command-line tool with vectors and stdout, the tests with a recorder.
// The view only shows; what the user does comes back through CRapiTestDlg's commands.

#include <cstddef>
#include <string>
#include <vector>

#include "database/results_index.h"

namespace veld {

// The four profile lists of the window.
enum class WindowList { PcUUTs, VeldUUTs, PcProfiles, VeldProfiles };

inline constexpr WindowList kWindowLists[] = {WindowList::PcUUTs, WindowList::VeldUUTs, WindowList::PcProfiles,
                                              WindowList::VeldProfiles};

class MainView {
 public:
  virtual ~MainView() = default;

  // A list refilled: these IDs in this order, nothing selected.
  virtual void ShowList(WindowList list, const std::vector<std::string>& ids) = 0;
  virtual void ShowUUTPanel(const std::string& text) = 0;
  virtual void ShowProfilePanel(const std::string& text) = 0;
  // The whole status text; the box shows its end.
  virtual void ShowStatusText(const std::string& text) = 0;
  // The UUT ID combo's entries and its selected entry (-1: none).
  virtual void ShowResultCombo(const std::vector<std::string>& items, int selected) = 0;
  // The results list refilled: these rows, nothing selected.
  virtual void ShowResultRows(const std::vector<ResultRow>& rows) = 0;
  // A long step's progress: done of total, with a text that says so; total 0 ends it.
  virtual void ShowProgress(const std::string& text, size_t done, size_t total) = 0;
  // While busy the window shows the wait cursor, stays painted and takes no input.
  virtual void SetBusy(bool busy) = 0;
  virtual void FocusList(WindowList list) = 0;
  // Ends the program (the lock-down).
  virtual void CloseWindow() = 0;
};

}  // namespace veld
