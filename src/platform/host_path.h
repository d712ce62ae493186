#pragma once
// The calibrator's database lives under the fixed Windows root "C:\VELD". Code keeps
// those logical paths exactly as written; this layer maps them onto the host:
//   - "C:\" stands for $VELD_ROOT (default: the user's home folder);
//   - "\" becomes "/";
//   - every component is matched without regard to letter case against what exists,
//     as Windows would ("UUTTable.DAT" and "UUTTable.dat" name one file);
//   - a component that does not exist yet keeps the name as written.

#include <functional>
#include <string>
#include <vector>

namespace veld {

// The folder that stands for drive C:.
std::string VeldRoot();

// Maps a logical path to the host path of the file or folder it names.
std::string HostPath(const std::string& logical_path);

// Names (without folder) of the regular files in the folder of a logical pattern such as
// "C:\VELD\PC\TestResults\*.DAT", matched without regard to case ("*" and "?" wildcards).
// The order is that of a case-insensitive sort, as the Windows file search gives it.
// A missing folder gives an empty list.
std::vector<std::string> FindFiles(const std::string& logical_pattern);
// The same, keeping only the names that keep accepts: a listing that wants a few names of
// a large folder sorts only those.
std::vector<std::string> FindFiles(const std::string& logical_pattern,
                                   const std::function<bool(const std::string&)>& keep);

// One entry of a host folder: its name and whether it is a regular file (a link counts as
// what it points to).
struct FolderEntry {
  std::string name;
  bool regular_file = false;
};

// Every entry of a host folder but "." and "..", in the order the system gives them.
// A missing folder gives an empty list; false (with the entries read so far) when the
// folder could not be read to its end. Builds no path per entry, so that folders of tens
// of thousands of files list in a few milliseconds.
bool ListHostFolder(const std::string& host_folder, std::vector<FolderEntry>& entries);

// Case-insensitive (ASCII) wildcard match of a whole name.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// Case-insensitive (ASCII) comparison helpers shared by listings and combo boxes.
bool EqualsIgnoreCase(const std::string& a, const std::string& b);
int CompareIgnoreCase(const std::string& a, const std::string& b);

// Creates one folder; an existing folder or a failure is not reported.
void CreateFolder(const std::string& logical_path);

}  // namespace veld
