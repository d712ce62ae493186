#include "cli/session.h"

#include <algorithm>
#include <cstdio>

#include "cli/arguments.h"

namespace veld::cli {

Session::Session(bool answer_yes)
    : prompter_(answer_yes),
      printer_(prompter_),
      window_(*this, WindowServices{prompter_, password_entry_, printer_}) {}

bool Session::StartUp(bool held) {
  window_.SetHoldsDataRoot(held);
  if (!window_.StartUp()) return false;
  pc().LoadSystemData();
  return true;
}

std::vector<int> Session::RowsOf(WindowList list, const std::vector<std::string>& ids) {
  window_.RefillList(list);
  const std::vector<std::string>& items = Shown(list);
  std::vector<int> rows;
  for (const std::string& id : ids) {
    const auto found = std::find(items.begin(), items.end(), id);
    if (found == items.end()) {
      const bool uuts = list == WindowList::PcUUTs || list == WindowList::VeldUUTs;
      const bool veld = list == WindowList::VeldUUTs || list == WindowList::VeldProfiles;
      prompter_.Message(std::string("No ") + (uuts ? "UUT profile" : "test profile") + " \"" + id + "\" in the " +
                        (veld ? "VELD" : "PC") + " database.");
      throw CommandStopped{kExitStopped};
    }
    rows.push_back(static_cast<int>(found - items.begin()));
  }
  return rows;
}

// The status box grows stage by stage: each stage's new lines are printed as they come.
void Session::ShowStatusText(const std::string& text) {
  if (text.compare(0, printed_status_.size(), printed_status_) != 0) printed_status_.clear();  // a fresh text
  std::fputs(WithNewlines(text.substr(printed_status_.size())).c_str(), stdout);
  std::fflush(stdout);
  printed_status_ = text;
}

// On a terminal, one line on stderr that counts the files up as they are copied.
void Session::ShowProgress(const std::string& text, size_t done, size_t total) {
  if (total == 0 || !progress_.ShouldShow(done == total)) return;
  std::fprintf(stderr, "\r%s", text.c_str());
  if (done == total) std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace veld::cli
