#pragma once
// The main window's visible texts: captions, labels, column headings and widths, and the
// names under which screen readers and tests find its controls.

namespace veld {

inline constexpr const char* kProgramName = "Veldane Manager";

inline constexpr const char* kConnectLabel = "Connect";
inline constexpr const char* kRefreshTestResultsLabel = "Refresh Test Results";
inline constexpr const char* kPrintLabel = "Print";
inline constexpr const char* kExportLabel = "Export";
inline constexpr const char* kUUTProfilesGroupLabel = "UUT Profiles";
inline constexpr const char* kTestProfilesGroupLabel = "Test Profiles";
inline constexpr const char* kPcDatabaseLabel = "PC Database";
inline constexpr const char* kVeldDatabaseLabel = "VELD Database";
inline constexpr const char* kTransferToPcLabel = "<-- Transfer";
inline constexpr const char* kTransferToVeldLabel = "Transfer -->";
inline constexpr const char* kEditLabel = "EDIT";
inline constexpr const char* kNewLabel = "NEW";
inline constexpr const char* kDeleteLabel = "DELETE";
inline constexpr const char* kUUTIdLabel = "UUT ID";
inline constexpr const char* kStatusLabel = "Status";

inline constexpr const char* kFileMenuLabel = "&File";
inline constexpr const char* kCalibratorFolderMenuItem = "Calibrator &folder...";
inline constexpr const char* kCalibratorFolderDialogCaption = "Calibrator folder";
inline constexpr const char* kImportUUTsMenuItem = "&Import UUTs...";
inline constexpr const char* kExportUUTsMenuItem = "Ex&port UUTs...";
inline constexpr const char* kImportUUTsCaption = "Import UUTs";
inline constexpr const char* kCertificateHeaderMenuItem = "Certificate &header...";
inline constexpr const char* kExitMenuItem = "E&xit";
inline constexpr const char* kHelpMenuLabel = "&Help";

// The profile lists' single column and the results list's columns, with their widths.
inline constexpr const char* kUUTListColumn = "UUT ID";
inline constexpr const char* kProfileListColumn = "Test Profile ID";
inline constexpr int kProfileListColumnWidth = 131;
struct ResultColumn {
  const char* heading;
  int width;
};
inline constexpr ResultColumn kResultColumns[] = {
    {"Date Time Tested", 180}, {"As Found / As Left", 120}, {"Pass / Fail", 80}, {"File Name", 275}};

// Accessible names of the controls whose visible label does not say which they are.
inline constexpr const char* kPcUUTListName = "PC Database UUT profiles";
inline constexpr const char* kVeldUUTListName = "VELD Database UUT profiles";
inline constexpr const char* kPcProfileListName = "PC Database test profiles";
inline constexpr const char* kVeldProfileListName = "VELD Database test profiles";
inline constexpr const char* kUUTPanelName = "UUT profile information";
inline constexpr const char* kProfilePanelName = "Test profile information";
inline constexpr const char* kResultsListName = "Test results";
inline constexpr const char* kProgressName = "Progress";

}  // namespace veld
