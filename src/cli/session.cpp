#include "cli/session.h"

#include "cli/arguments.h"
#include "database/results_index.h"
#include "records/list_target.h"

namespace veld::cli {

Session::Session(bool answer_yes) : prompter_(answer_yes), pc_(prompter_), veld_(prompter_), rapi_(prompter_) {}

bool Session::StartUp(bool open_tables) {
  veld_.SetDevice(DatabaseSide::VELD);
  pc_.SetDevice(DatabaseSide::PC);
  pc_.SetSystemData(&settings_);
  if (open_tables) pc_.Open();
  if (pc_.IsLockedOut()) return false;
  // The window reads the settings record at Connect; every run of the tool is a session
  // of its own, so it reads them here, or protected printing could never apply.
  pc_.LoadSystemData();
  return true;
}

void Session::RequireDevice() {
  if (device_ready_) return;
  if (!rapi_.Connect()) {
    prompter_.Message(CCorvaneRAPI::kUnableToConnectMessage);
    throw CommandStopped{kExitStopped};
  }
  device_ready_ = true;
}

std::vector<std::string> SortedIds(CDataBaseX& database, const std::string& table) {
  VectorListTarget list;
  database.FillList(list, table);
  SortLikeComboBox(list.items);
  return list.items;
}

std::vector<std::string> FileOrderIds(CDataBaseX& database, const std::string& table) {
  VectorListTarget combo;
  database.FillCombo(combo, table);
  return combo.items;
}

}  // namespace veld::cli
