#pragma once
// The visible texts of the Chart, History and Due dates buttons and of the windows they
// open: captions, labels, column headings, and the names under which screen readers and
// tests find their controls.

namespace veld {

inline constexpr const char* kChartLabel = "Chart";
inline constexpr const char* kHistoryLabel = "History";
inline constexpr const char* kDueDatesLabel = "Due dates";
inline constexpr const char* kHistoryAccessibleName = "History of the chosen UUT ID";

inline constexpr const char* kErrorChartCaption = "Error chart";
inline constexpr const char* kDriftHistoryCaption = "Drift history";
inline constexpr const char* kDueDatesCaption = "Calibration due dates";
inline constexpr const char* kDueWithinLabel = "Due within (days):";
inline constexpr const char* kCloseLabel = "Close";
inline constexpr const char* kChartViewName = "Chart";
inline constexpr const char* kHistoryTableName = "Drift history results";
inline constexpr const char* kDueDatesTableName = "Calibration due dates";

inline constexpr const char* kHistoryNoUUTMessage = "Please select a UUT ID to show its drift history.";

inline constexpr const char* kHistoryColumns[] = {"Date Time Tested", "As Found / As Left", "Largest Error (%FS)",
                                                  "Pass / Fail", "File Name"};
inline constexpr const char* kDueDateColumns[] = {"UUT ID", "Database", "Calibration Due Date", "Days Left",
                                                  "Status"};

}  // namespace veld
