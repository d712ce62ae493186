#include "platform/host_path.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#endif

namespace veld {
namespace fs = std::filesystem;

namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool IsDriveC(const std::string& path) {
  return path.size() >= 3 && (path[0] == 'C' || path[0] == 'c') && path[1] == ':' &&
         (path[2] == '\\' || path[2] == '/');
}

std::vector<std::string> SplitComponents(const std::string& path) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

// The entry of folder whose name equals name ignoring case; name itself when none does.
// known_to_exist is set when the name given was just found as it stands, so that the caller
// need not look again.
std::string ResolveComponent(const fs::path& folder, const std::string& name, bool& known_to_exist) {
  std::error_code ec;
  known_to_exist = false;
  if (name == "." || name == "..") return name;
  if (fs::exists(folder / name, ec)) {
    known_to_exist = true;
    return name;
  }
  std::string best;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string candidate = it->path().filename().string();
    if (EqualsIgnoreCase(candidate, name) && (best.empty() || candidate < best)) best = candidate;
  }
  return best.empty() ? name : best;
}

}  // namespace

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

int CompareIgnoreCase(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(Lower(a[i]));
    const unsigned char y = static_cast<unsigned char>(Lower(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string VeldRoot() {
  if (const char* root = std::getenv("VELD_ROOT"); root && *root) return root;
  if (const char* home = std::getenv("HOME"); home && *home) return home;
#ifdef _WIN32
  return "C:\\";
#else
  return "/";
#endif
}

std::string HostPath(const std::string& logical_path) {
#ifdef _WIN32
  return logical_path;
#else
  fs::path host;
  std::string rest = logical_path;
  if (IsDriveC(logical_path)) {
    host = VeldRoot();
    rest = logical_path.substr(3);
  } else if (!logical_path.empty() && (logical_path[0] == '/' || logical_path[0] == '\\')) {
    host = "/";
  } else {
    host = ".";
  }
  bool resolving = true;
  for (const std::string& part : SplitComponents(rest)) {
    bool known_to_exist = false;
    const std::string name = resolving ? ResolveComponent(host, part, known_to_exist) : part;
    std::error_code ec;
    if (resolving && !known_to_exist && !fs::exists(host / name, ec)) resolving = false;
    host /= name;
  }
  std::string text = host.string();
  if (text.rfind("./", 0) == 0) text.erase(0, 2);
  return text;
#endif
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
  // Iterative matcher with one backtrack point: linear in practice, never recursive.
  size_t p = 0, n = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {  // before the literal test: a name may hold '*'
      star = p++;
      mark = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

#ifdef _WIN32
bool ListHostFolder(const std::string& host_folder, std::vector<FolderEntry>& entries) {
  std::error_code ec;
  fs::directory_iterator it(host_folder, ec), end;
  if (ec) return ec == std::errc::no_such_file_or_directory;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    entries.push_back({it->path().filename().string(), it->is_regular_file(type_ec)});
  }
  return !ec;
}
#else
bool ListHostFolder(const std::string& host_folder, std::vector<FolderEntry>& entries) {
  DIR* folder = ::opendir(host_folder.c_str());
  if (folder == nullptr) return errno == ENOENT;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(folder);
    if (entry == nullptr) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
      struct stat info {};
      regular = ::fstatat(::dirfd(folder), entry->d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
    }
    entries.push_back({std::string(name), regular});
  }
  const bool complete = errno == 0;
  ::closedir(folder);
  return complete;
}
#endif

std::vector<std::string> FindFiles(const std::string& logical_pattern) {
  return FindFiles(logical_pattern, [](const std::string&) { return true; });
}

std::vector<std::string> FindFiles(const std::string& logical_pattern,
                                   const std::function<bool(const std::string&)>& keep) {
  const size_t cut = logical_pattern.find_last_of("\\/");
  const std::string folder = cut == std::string::npos ? std::string(".") : logical_pattern.substr(0, cut + 1);
  const std::string pattern = cut == std::string::npos ? logical_pattern : logical_pattern.substr(cut + 1);
  std::vector<FolderEntry> entries;
  ListHostFolder(HostPath(folder), entries);  // a listing cut short gives what it found, as before
  std::vector<std::string> names;
  for (FolderEntry& entry : entries) {
    if (entry.regular_file && WildcardMatch(pattern, entry.name) && keep(entry.name)) {
      names.push_back(std::move(entry.name));
    }
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const int order = CompareIgnoreCase(a, b);
    return order != 0 ? order < 0 : a < b;
  });
  return names;
}

void CreateFolder(const std::string& logical_path) {
  std::error_code ec;
  fs::create_directory(HostPath(logical_path), ec);
}

}  // namespace veld
