#pragma once
// Finding the calibrator's file system on this desktop. The stand-in remote API library
// serves the folder that $VELD_DEVICE names; the window chooses that folder before each
// Connect: the one given in the environment at start, else a calibrator volume found
// mounted, else the folder the user chose once.

#include <optional>
#include <string>
#include <vector>

namespace veld {

inline constexpr const char* kDeviceVariable = "VELD_DEVICE";

struct CalibratorSearch {
  std::string environment_device;        // $VELD_DEVICE at start; empty when unset
  std::vector<std::string> mount_roots;  // folders whose sub-folders are mounted volumes
  std::string remembered_folder;         // the user's choice; empty when none
};

// The folders under which desktops mount removable volumes for this user: /media/$USER,
// /run/media/$USER and /mnt.
std::vector<std::string> DefaultMountRoots();

// True when the folder's root holds Mounted_Volume/VELD (letter case aside, as the
// calibrator's names are matched).
bool HoldsCalibratorVolume(const std::string& folder);

// The calibrator folder to use, or nothing when none is found.
std::optional<std::string> FindCalibrator(const CalibratorSearch& search);

// Points the remote API library at the folder (or at nothing).
void UseCalibratorFolder(const std::optional<std::string>& folder);

}  // namespace veld
