#pragma once
// What the desktop's main window owns for a run, for one run of veldane-cli: the two
// databases, the device link, the settings record and the current records, started up
// exactly as the window starts up.

#include <string>
#include <vector>

#include "cli/console.h"
#include "database/database.h"
#include "app/profile_commands.h"
#include "device/corvane_rapi.h"
#include "records/system_data.h"
#include "records/test_profile.h"
#include "records/uut.h"

namespace veld::cli {

// Ends a command after its message was shown; main turns it into the exit status.
struct CommandStopped {
  int exit_status;
};

class Session {
 public:
  // Constructs the PC and the VELD database (each creates the folder tree) and the link.
  explicit Session(bool answer_yes);

  // VELD database device flag 1, PC database flag 0, the settings record, PC Open. False
  // when the PC settings say the system is locked out. Without open_tables the PC tables
  // are read as they are, neither created, converted nor completed: for a listing while
  // another program holds the data root, which has done that at its own start-up.
  bool StartUp(bool open_tables = true);

  CDataBaseX& pc() { return pc_; }
  CDataBaseX& veld() { return veld_; }
  CDataBaseX& Database(DatabaseSide side) { return side == DatabaseSide::VELD ? veld_ : pc_; }
  CCorvaneRAPI& rapi() { return rapi_; }
  StderrPrompter& prompter() { return prompter_; }
  SystemData& settings() { return settings_; }
  UUT& current_uut() { return current_uut_; }
  TestProfile& current_profile() { return current_profile_; }

  // Loads the device link before a download: a fresh run has not connected yet. Shows
  // the connect failure and stops the command when the device does not answer.
  void RequireDevice();

 private:
  StderrPrompter prompter_;
  CDataBaseX pc_;
  CDataBaseX veld_;
  CCorvaneRAPI rapi_;
  SystemData settings_;
  UUT current_uut_;
  TestProfile current_profile_;
  bool device_ready_ = false;
};

// The IDs of a table as the window's profile lists show them: sorted ascending without
// regard to letter case. table is "UUT" or "TestProfile".
std::vector<std::string> SortedIds(CDataBaseX& database, const std::string& table);

// The IDs of a table in file order (the facade's combo filling).
std::vector<std::string> FileOrderIds(CDataBaseX& database, const std::string& table);

}  // namespace veld::cli
