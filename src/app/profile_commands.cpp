#include "app/profile_commands.h"

#include "database/database.h"
#include "platform/file_error.h"

namespace veld {
namespace {

// The profile as its table stores it. The table removes a custom points file by the
// type of the profile it is given; the window's current profile has the type of
// whatever was shown last, which would leave a deleted custom profile's file behind
// (or remove another profile's), so the stored type is used instead.
TestProfile StoredProfile(CDataBaseX& database, const std::string& id) {
  TestProfile stored;
  stored.ID = id;
  try {
    database.LoadTestProfile(stored);
  } catch (const FileError&) {
    // A custom profile whose points file is missing: its type is already read, and
    // the record must still be deletable.
  }
  return stored;
}

}  // namespace

std::string DeleteUUTQuestion(DatabaseSide side) {
  return side == DatabaseSide::VELD
             ? "You are about to delete a Unit Under Test profile from the VELD database.  Are you sure you want to "
               "do this?"
             : "You are about to delete a Unit Under Test profile from the PC database.  Are you sure you want to do "
               "this?";
}

std::string DeleteProfileQuestion(DatabaseSide side) {
  return side == DatabaseSide::VELD
             ? "You are about to delete a test profile from the VELD database.  Are you sure you want to do this?"
             : "You are about to delete a test profile from the PC database.  Are you sure you want to do this?";
}

bool DeleteUUTs(CDataBaseX& side_database, DatabaseSide side, const std::vector<std::string>& selected_ids,
                UUT& current, ProfileCommandHooks& hooks) {
  bool all_deleted = true;
  for (const std::string& id : selected_ids) {
    current.ID = id;
    all_deleted = side_database.DeleteUUT(current) && all_deleted;
  }
  hooks.RefillUUTList(side);
  if (side == DatabaseSide::VELD) hooks.DownloadUUTTable();
  return all_deleted;
}

bool DeleteTestProfiles(CDataBaseX& side_database, DatabaseSide side, const std::vector<std::string>& selected_ids,
                        TestProfile& current, ProfileCommandHooks& hooks) {
  bool all_deleted = true;
  for (const std::string& id : selected_ids) {
    current.ID = id;
    all_deleted = side_database.DeleteTestProfile(StoredProfile(side_database, id)) && all_deleted;
  }
  hooks.RefillProfileList(side);
  if (side == DatabaseSide::VELD) hooks.DownloadTestProfileTable();
  return all_deleted;
}

bool TransferUUTs(CDataBaseX& source, CDataBaseX& target, DatabaseSide target_side,
                  const std::vector<std::string>& selected_ids, UUT& current, ProfileCommandHooks& hooks) {
  // Fetched one by one, stored together: one write of the target table however many are
  // selected (each whole-table write is synced to the disk), and all of them or none.
  std::vector<UUT> fetched;
  fetched.reserve(selected_ids.size());
  for (const std::string& id : selected_ids) {
    current.ID = id;
    source.LoadUUT(current);
    fetched.push_back(current);
  }
  const bool all_stored = fetched.empty() || target.SaveUUTs(fetched);
  if (target_side == DatabaseSide::VELD) hooks.DownloadUUTTable();
  hooks.RefillUUTList(target_side);
  return all_stored;
}

bool TransferTestProfiles(CDataBaseX& source, CDataBaseX& target, DatabaseSide target_side,
                          const std::vector<std::string>& selected_ids, TestProfile& current,
                          ProfileCommandHooks& hooks) {
  bool all_stored = true;
  for (const std::string& id : selected_ids) {
    current.ID = id;
    source.LoadTestProfile(current);
    all_stored = target.SaveTestProfile(current) && all_stored;
  }
  if (target_side == DatabaseSide::VELD) hooks.DownloadTestProfileTable();
  hooks.RefillProfileList(target_side);
  return all_stored;
}

}  // namespace veld
