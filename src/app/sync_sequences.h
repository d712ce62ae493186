#pragma once
// The Connect and Refresh Test Results commands as sequences of steps shared by the
// desktop window and the command-line tool. The sequence does the copying and the
// database work; each front end refills its own lists through the observer.

#include <cstddef>
#include <string>
#include <vector>

namespace veld {

class CCorvaneRAPI;
class CDataBaseX;
class Prompter;

class SyncObserver {
 public:
  virtual ~SyncObserver() = default;
  // The status box shows the whole status text after each stage.
  virtual void StatusTextChanged(const std::string& status_text) = 0;
  virtual void BeginWaitCursor() {}
  virtual void EndWaitCursor() {}
  // Refill the VELD and the PC UUT lists, then show the UUT of row 0 of the PC list.
  virtual void RefillUUTLists() = 0;
  virtual void ShowFirstPCUUT() = 0;
  // Refill the VELD and the PC test profile lists, then show row 0 of the PC list.
  virtual void RefillProfileLists() = 0;
  virtual void ShowFirstPCProfile() = 0;
  // Let the PC database refill the UUT ID combo (FillResultUUTCombo).
  virtual void RefillResultCombo() = 0;
  // The combo's entries in their order, its selected text ("" when none), and the
  // selection of an entry, which lists that UUT's results.
  virtual std::vector<std::string> ResultComboItems() = 0;
  virtual std::string SelectedResultUUT() = 0;
  virtual void SelectResultComboItem(int index) = 0;
  // The result upload copied done of the total new files it found: first with none done,
  // then after each file; the step is over when the sequence goes on.
  virtual void ResultUploadProgress(size_t /*done*/, size_t /*total*/) {}
};

// How far the result upload has come, as the window and the command-line tool show it.
std::string ResultUploadProgressText(size_t done, size_t total);

// Connect: copies the calibrator's tables, custom profiles and new result files and
// refreshes the window. False when the device could not be reached (the message was
// shown and nothing changed). A FileError ends the sequence where it is raised. When
// files could not be copied, the last status line says how many instead of saying that
// all data was uploaded.
bool RunConnectSequence(CCorvaneRAPI& rapi, CDataBaseX& pc_database, CDataBaseX& veld_database,
                        Prompter& prompter, SyncObserver& observer);

// Refresh Test Results: copies new result files, refills the UUT ID combo and keeps the
// selected UUT selected (its results listed again). Gives the number of files that could
// not be copied.
size_t RunRefreshSequence(CCorvaneRAPI& rapi, SyncObserver& observer);

// The combo entry to select after a refill for a remembered text: an exact match ignoring
// case, searched from the second entry on and wrapping to the first; 0 when none
// matches, -1 when the combo is empty.
int FindResultComboEntry(const std::vector<std::string>& items, const std::string& text);

}  // namespace veld
