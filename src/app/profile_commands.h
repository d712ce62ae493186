#pragma once
// The main window's delete and transfer commands for UUT profiles and test profiles,
// shared by the desktop window and the command-line tool. Each front end supplies the
// IDs of the rows selected in the side's list (in row order), refills its own lists and
// downloads a changed VELD table to the calibrator through the hooks.

#include <string>
#include <vector>

#include "platform/prompter.h"
#include "records/database_layout.h"
#include "records/test_profile.h"
#include "records/uut.h"

namespace veld {

class CDataBaseX;

// What a profile command asks of its front end after it changed a table.
class ProfileCommandHooks {
 public:
  virtual ~ProfileCommandHooks() = default;
  virtual void RefillUUTList(DatabaseSide side) = 0;
  virtual void RefillProfileList(DatabaseSide side) = 0;
  // Copy the VELD database's table (and custom profile files) to the calibrator.
  virtual void DownloadUUTTable() = 0;
  virtual void DownloadTestProfileTable() = 0;
};

std::string DeleteUUTQuestion(DatabaseSide side);
std::string DeleteProfileQuestion(DatabaseSide side);

// Delete UUTs, once the user has said Yes to the side's question (DeleteUUTQuestion):
// deletes each ID from the side's database, refills the side's list and, on the VELD
// side, downloads the table; true only when no delete was refused. The refill runs also
// for an empty selection. A test profile is deleted with its stored type, so a "Custom"
// profile's points file goes with it whatever profile was shown last.
bool DeleteUUTs(CDataBaseX& side_database, DatabaseSide side, const std::vector<std::string>& selected_ids,
                UUT& current, ProfileCommandHooks& hooks);
bool DeleteTestProfiles(CDataBaseX& side_database, DatabaseSide side, const std::vector<std::string>& selected_ids,
                        TestProfile& current, ProfileCommandHooks& hooks);

// Transfer: each selected ID is fetched from the source into the current record and
// stored in the target, without a question. Into the VELD database the table is then
// downloaded once and the VELD list refilled; into the PC database the PC list is
// refilled. The current record ends as the last one transferred. True only when the
// target stored every record without a message.
bool TransferUUTs(CDataBaseX& source, CDataBaseX& target, DatabaseSide target_side,
                  const std::vector<std::string>& selected_ids, UUT& current, ProfileCommandHooks& hooks);
bool TransferTestProfiles(CDataBaseX& source, CDataBaseX& target, DatabaseSide target_side,
                          const std::vector<std::string>& selected_ids, TestProfile& current,
                          ProfileCommandHooks& hooks);

}  // namespace veld
