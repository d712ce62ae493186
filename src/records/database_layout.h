#pragma once
// Where everything lives: the folder tree under C:\VELD of the PC database and of the VELD
// database (the desktop's mirror of the calibrator's), the file names in it, and the
// calibrator's own paths that the mirror's files are copied from and to. Logical paths,
// mapped onto the host by HostPath. This is the one place that names them.

#include <string>

namespace veld {

// Which database: the PC's own, or the mirror of the calibrator's (device flag 0 and 1).
enum class DatabaseSide { PC, VELD };

inline DatabaseSide SideOfDeviceFlag(bool device) { return device ? DatabaseSide::VELD : DatabaseSide::PC; }
inline const char* SideName(DatabaseSide side) { return side == DatabaseSide::VELD ? "VELD" : "PC"; }

namespace layout {

// The ten folders every database creates, in the order it creates them.
inline constexpr const char* kFolders[] = {
    "C:\\VELD",           "C:\\VELD\\PC",         "C:\\VELD\\PC\\TestResults", "C:\\VELD\\PC\\UUT",
    "C:\\VELD\\PC\\TestProfile", "C:\\VELD\\PC\\System", "C:\\VELD\\VELD",           "C:\\VELD\\VELD\\TestProfile",
    "C:\\VELD\\VELD\\UUT", "C:\\VELD\\VELD\\System",
};

// Every result file copied from the calibrator, whichever database asks.
inline constexpr const char* kResultFolder = "C:\\VELD\\PC\\TestResults\\";
// A result file of the PC by its name (or a pattern of names).
inline std::string ResultFilePath(const std::string& name) { return kResultFolder + name; }
// The desktop's own files: the operators' system log, its settings and the lock that lets
// one program at a time change the data.
inline constexpr const char* kSystemFolder = "C:\\VELD\\PC\\System\\";
inline constexpr const char* kSystemLog = "C:\\VELD\\PC\\System\\SYSTEMLOG.DAT";
inline constexpr const char* kDesktopSettings = "C:\\VELD\\PC\\System\\VeldaneManager.ini";
inline constexpr const char* kDesktopSettingsLock = "C:\\VELD\\PC\\System\\VeldaneManager.lock";
inline constexpr const char* kDataRootLock = "C:\\VELD\\Veldane.lock";

inline std::string UUTTable(DatabaseSide side) {
  return side == DatabaseSide::VELD ? "C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK.dat" : "C:\\VELD\\PC\\UUT\\UUTTable.dat";
}
// Where the table of the older record format is kept when it is converted.
inline std::string UUTTableBackup(DatabaseSide side) {
  return side == DatabaseSide::VELD ? "C:\\VELD\\VELD\\UUT\\UUTTable_PPCBK_Backup.dat"
                                    : "C:\\VELD\\PC\\UUT\\UUTTable_Backup.dat";
}
inline std::string UUTFolder(DatabaseSide side) {
  return side == DatabaseSide::VELD ? "C:\\VELD\\VELD\\UUT" : "C:\\VELD\\PC\\UUT";
}
inline std::string ProfileFolder(DatabaseSide side) {
  return side == DatabaseSide::VELD ? "C:\\VELD\\VELD\\TestProfile\\" : "C:\\VELD\\PC\\TestProfile\\";
}
inline std::string ProfileTable(DatabaseSide side) {
  return ProfileFolder(side) + (side == DatabaseSide::VELD ? "TestProfileTable_PPCBK.dat" : "TestProfileTable.dat");
}
// A custom profile's points: the profile ID followed by "_Custom.DAT".
inline std::string CustomProfileFile(DatabaseSide side, const std::string& profile_id) {
  return ProfileFolder(side) + profile_id + "_Custom.DAT";
}
inline std::string SettingsTable(DatabaseSide side) {
  return side == DatabaseSide::VELD ? "C:\\VELD\\VELD\\System\\SystemDataTable_PPCBK.dat"
                                    : "C:\\VELD\\PC\\System\\SystemDataTable.dat";
}

// The calibrator's paths.
inline constexpr const char* kDeviceUUTTable = "Mounted_Volume\\VELD\\UUT\\UUTTable.DAT";
inline constexpr const char* kDeviceSettingsTable = "Mounted_Volume\\VELD\\System\\SystemDataTable.DAT";
inline constexpr const char* kDeviceProfileTable = "Mounted_Volume\\VELD\\TestProfile\\TestProfileTable.DAT";
inline constexpr const char* kDeviceProfileFolder = "Mounted_Volume\\VELD\\TestProfile\\";
inline constexpr const char* kDeviceResultsFolder = "Mounted_Volume\\VELD\\TestResults\\DAT\\";

}  // namespace layout
}  // namespace veld
