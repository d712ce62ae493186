#include "rapi/device_volume.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <system_error>
#include <utility>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <time.h>
#endif
#ifdef __linux__
#include <linux/openat2.h>
#include <sys/syscall.h>
#endif

namespace veld::standin {
namespace fs = std::filesystem;

namespace {

char16_t Fold(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool EqualsFolded(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return Fold(x) == Fold(y); });
}

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// Characters that no device file name may hold; wildcards only in a listing pattern.
bool IsForbidden(char16_t c, bool wildcards_allowed) {
  if (c < 0x20) return true;
  switch (c) {
    case u'<': case u'>': case u':': case u'"': case u'|': return true;
    case u'*': case u'?': return !wildcards_allowed;
    default: return false;
  }
}

bool IsAcceptableComponent(std::u16string_view name, bool wildcards_allowed) {
  if (name == u"." || name == u"..") return false;
  return std::none_of(name.begin(), name.end(), [&](char16_t c) { return IsForbidden(c, wildcards_allowed); });
}

// Components of a relative device path; nothing when the path is absolute or holds a
// component that could step outside the device root.
std::optional<std::vector<std::u16string>> SplitDevicePath(std::u16string_view path, bool pattern) {
  if (path.empty() || IsSeparator(path.front())) return std::nullopt;
  std::vector<std::u16string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = start;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (end > start) parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  if (parts.empty()) return std::nullopt;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (!IsAcceptableComponent(parts[i], pattern && i + 1 == parts.size())) return std::nullopt;
  }
  return parts;
}

#ifndef _WIN32
// A host modification time in the device's units: 100 ns since 1601-01-01.
uint64_t DeviceTime(const timespec& when) {
  constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
  const int64_t ticks = (static_cast<int64_t>(when.tv_sec) + kSecondsFrom1601To1970) * 10000000 + when.tv_nsec / 100;
  return ticks > 0 ? static_cast<uint64_t>(ticks) : 0;
}
#else
uint64_t DeviceTime(fs::file_time_type when) {
  using namespace std::chrono;
  const auto system = system_clock::now() + duration_cast<system_clock::duration>(when - fs::file_time_type::clock::now());
  constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
  const int64_t ticks = duration_cast<microseconds>(system.time_since_epoch()).count() * 10 +
                        kSecondsFrom1601To1970 * 10000000;
  return ticks > 0 ? static_cast<uint64_t>(ticks) : 0;
}
#endif

#ifndef _WIN32
void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, uint32_t code) {
  if (code < 0x10000) {
    out += static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (code >> 10));
    out += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
}

// One code point decoded from UTF-8 at text[i], advancing i; nothing for a malformed
// sequence (i then steps over one byte).
std::optional<uint32_t> DecodeUtf8(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
  if (length == 0 || i + length > text.size()) {
    ++i;
    return std::nullopt;
  }
  uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return std::nullopt;
    }
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
    ++i;
    return std::nullopt;
  }
  i += length;
  return code;
}
#endif

}  // namespace

std::optional<fs::path> HostName(std::u16string_view device_name) {
#ifdef _WIN32
  return fs::path(std::u16string(device_name));
#else
  std::string utf8;
  for (size_t i = 0; i < device_name.size(); ++i) {
    uint32_t code = device_name[i];
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < device_name.size() && device_name[i + 1] >= 0xDC00 &&
        device_name[i + 1] <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (device_name[++i] - 0xDC00);
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      return std::nullopt;  // a lone surrogate names no host file
    }
    AppendUtf8(utf8, code);
  }
  return fs::path(utf8);
#endif
}

#ifndef _WIN32
namespace {

std::u16string DeviceNameOfNative(std::string_view text) {
  std::u16string name;
  name.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const std::optional<uint32_t> code = DecodeUtf8(text, i);
    AppendUtf16(name, code.value_or(0xFFFD));
  }
  return name;
}

}  // namespace
#endif

std::u16string DeviceName(const fs::path& host_name) {
#ifdef _WIN32
  return host_name.u16string();
#else
  return DeviceNameOfNative(host_name.native());
#endif
}

bool WildcardMatch16(std::u16string_view pattern, std::u16string_view name) {
  if (pattern == u"*" || pattern == u"*.*") return true;  // every name, with or without a dot
  size_t p = 0, n = 0, star = std::u16string_view::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == u'*') {  // before the literal test: a name may hold '*'
      star = p++;
      mark = n;
    } else if (p < pattern.size() && (pattern[p] == u'?' || Fold(pattern[p]) == Fold(name[n]))) {
      ++p;
      ++n;
    } else if (star != std::u16string_view::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

std::optional<fs::path> DeviceRoot() {
  const char* root = std::getenv("VELD_DEVICE");
  if (root == nullptr || *root == '\0') return std::nullopt;
  std::error_code ec;
  if (!fs::is_directory(root, ec)) return std::nullopt;
  return fs::path(root);
}

namespace {

// Case-insensitive name order, and exact order between names that fold alike. Each name is
// folded once, into one buffer as big-endian byte pairs (so that comparing bytes compares
// the 16-bit units) whose first 16 bytes also stand in two words for a quick first test;
// only positions move while sorting, and the entries move once at the end.
void SortLikeTheDevice(std::vector<ListedEntry>& entries) {
  struct Key {
    uint64_t head[2];
    size_t offset;
    size_t length;
    size_t index;
  };
  size_t units = 0;
  for (const ListedEntry& entry : entries) units += entry.name.size();
  std::string folded;
  folded.reserve(2 * units);
  std::vector<Key> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    Key key{{0, 0}, folded.size(), 2 * entries[i].name.size(), i};
    for (size_t k = 0; k < entries[i].name.size(); ++k) {
      const char16_t unit = Fold(entries[i].name[k]);
      folded.push_back(static_cast<char>(unit >> 8));
      folded.push_back(static_cast<char>(unit & 0xFF));
      if (k < 8) key.head[k / 4] |= static_cast<uint64_t>(unit) << (16 * (3 - k % 4));
    }
    keys.push_back(key);
  }
  const std::string_view all = folded;
  std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
    // Units are never 0 in a name, so the zero padding of a short head orders it first.
    if (a.head[0] != b.head[0]) return a.head[0] < b.head[0];
    if (a.head[1] != b.head[1]) return a.head[1] < b.head[1];
    const int by_folded = all.substr(a.offset, a.length).compare(all.substr(b.offset, b.length));
    return by_folded != 0 ? by_folded < 0 : entries[a.index].name < entries[b.index].name;
  });
  // Entry keys[i].index goes to place i, cycle by cycle, without a second copy of the list.
  std::vector<bool> placed(entries.size(), false);
  for (size_t start = 0; start < entries.size(); ++start) {
    if (placed[start]) continue;
    ListedEntry first = std::move(entries[start]);
    size_t place = start;
    for (;;) {
      placed[place] = true;
      const size_t from = keys[place].index;
      if (from == start) {
        entries[place] = std::move(first);
        break;
      }
      entries[place] = std::move(entries[from]);
      place = from;
    }
  }
}

using Parts = std::vector<std::u16string>;

// What an open may give: a regular file, nothing else.
Descriptor KeepRegular(Descriptor opened) {
  if (!opened.valid()) return opened;
  veld_stat_t info{};
  if (VELD_FSTAT(opened.get(), &info) != 0) return Descriptor();
  if ((info.st_mode & S_IFMT) != S_IFREG) {
    errno = (info.st_mode & S_IFMT) == S_IFDIR ? EISDIR : EINVAL;
    return Descriptor();
  }
  return opened;
}

#ifndef _WIN32
// Every look below the root is made relative to an open folder, with links refused by the
// system itself, so that a link made or swapped in while we look cannot lead out either.

Descriptor OpenRoot() {
  const char* root = std::getenv("VELD_DEVICE");
  if (root == nullptr || *root == '\0') {
    errno = ENOENT;
    return Descriptor();
  }
  return Descriptor(::open(root, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

bool IsLinkRefusal(int error) { return error == ELOOP || error == EXDEV; }

// The first count components joined as written.
std::optional<std::string> JoinAsWritten(const Parts& parts, size_t count) {
  std::string joined;
  for (size_t i = 0; i < count; ++i) {
    const std::optional<fs::path> name = HostName(parts[i]);
    if (!name) return std::nullopt;
    if (i > 0) joined += '/';
    joined += name->native();
  }
  return joined;
}

// One open of a relative path below folder that fails (ELOOP, EXDEV) when any component
// is a link or steps outside: the common case in one call instead of one per folder.
// ENOSYS where the system has no such call; the caller then walks the path.
int OpenConfined(int folder, const std::string& relative, int flags) {
#if defined(__linux__) && defined(SYS_openat2)
  open_how how{};
  how.flags = static_cast<uint64_t>(flags);
  how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
  return static_cast<int>(::syscall(SYS_openat2, folder, relative.c_str(), &how, sizeof how));
#else
  (void)folder, (void)relative, (void)flags;
  errno = ENOSYS;
  return -1;
#endif
}

bool IsLink(DIR* listing, const dirent* found) {
  if (found->d_type == DT_LNK) return true;
  if (found->d_type != DT_UNKNOWN) return false;
  struct stat info {};
  return ::fstatat(::dirfd(listing), found->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || S_ISLNK(info.st_mode);
}

// A listing of an open folder with a position of its own (the folder's descriptor stays
// usable); null when it cannot be read.
DIR* OpenListing(int folder) {
  Descriptor own(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!own.valid()) return nullptr;
  DIR* listing = ::fdopendir(own.get());
  if (listing != nullptr) own.release();
  return listing;
}

// The entry of folder that a device name stands for: the name as written when an entry of
// that name exists (whatever it is: a link is then refused by the open), else the smallest
// entry equal to it ignoring case that is not a link, else the name as written.
std::optional<std::string> ResolveName(int folder, std::u16string_view name) {
  const std::optional<fs::path> written = HostName(name);
  if (!written) return std::nullopt;
  struct stat info {};
  if (::fstatat(folder, written->c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) return written->native();
  DIR* listing = OpenListing(folder);
  if (listing == nullptr) return written->native();
  std::optional<std::u16string> best;
  std::string best_host;
  while (const dirent* found = ::readdir(listing)) {
    const std::u16string candidate = DeviceNameOfNative(found->d_name);
    if (!EqualsFolded(candidate, name) || (best && !(candidate < *best)) || IsLink(listing, found)) continue;
    best = candidate;
    best_host = found->d_name;
  }
  ::closedir(listing);
  return best ? best_host : written->native();
}

// The folder of the first count components below an open root, never through a link.
Descriptor OpenFolderBelow(Descriptor root, const Parts& parts, size_t count) {
  if (!root.valid() || count == 0) return root;
  if (const std::optional<std::string> joined = JoinAsWritten(parts, count)) {
    Descriptor direct(OpenConfined(root.get(), *joined, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (direct.valid() || IsLinkRefusal(errno)) return direct;
  }
  Descriptor folder = std::move(root);
  for (size_t i = 0; i < count; ++i) {
    const std::optional<std::string> name = ResolveName(folder.get(), parts[i]);
    if (!name) {
      errno = EINVAL;
      return Descriptor();
    }
    Descriptor child(::openat(folder.get(), name->c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!child.valid()) return child;
    folder = std::move(child);
  }
  return folder;
}

// One look at each entry of an open folder (taken over), relative to it: large folders
// list in milliseconds, without a path built per entry. A link is neither file nor folder.
void ListMatchingEntries(Descriptor folder, std::u16string_view name_pattern, std::vector<ListedEntry>& entries) {
  DIR* listing = ::fdopendir(folder.get());
  if (listing == nullptr) return;
  folder.release();
  while (const dirent* found = ::readdir(listing)) {
    const std::string_view host_name = found->d_name;
    if (host_name == "." || host_name == "..") continue;
    ListedEntry entry;
    entry.name = DeviceNameOfNative(host_name);
    if (!WildcardMatch16(name_pattern, entry.name)) continue;
    struct stat info {};
    if (::fstatat(::dirfd(listing), found->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    entry.is_folder = S_ISDIR(info.st_mode);
    if (!entry.is_folder && !S_ISREG(info.st_mode)) continue;
    entry.size = entry.is_folder ? 0 : static_cast<uint64_t>(info.st_size);
    entry.write_time = DeviceTime(info.st_mtim);
    entries.push_back(std::move(entry));
  }
  ::closedir(listing);
}

// The open folder and host name of the last component of a device path.
struct Placed {
  Descriptor folder;
  std::string name;
};

std::optional<Placed> PlaceInFolder(const Parts& parts) {
  Placed placed{OpenFolderBelow(OpenRoot(), parts, parts.size() - 1), {}};
  if (!placed.folder.valid()) return std::nullopt;
  std::optional<std::string> name = ResolveName(placed.folder.get(), parts.back());
  if (!name) return std::nullopt;
  placed.name = std::move(*name);
  return placed;
}

#else
// Windows has no folder-relative calls here: each component's own status is checked
// before it is used, which keeps links and junctions out of every path we build.

bool IsPlainEntry(const fs::path& path) {
  std::error_code ec;
  const fs::file_type type = fs::symlink_status(path, ec).type();
  return !ec && (type == fs::file_type::regular || type == fs::file_type::directory);
}

std::optional<fs::path> ResolveName(const fs::path& folder, std::u16string_view name) {
  const std::optional<fs::path> written = HostName(name);
  if (!written) return std::nullopt;
  std::error_code ec;
  if (fs::symlink_status(folder / *written, ec).type() != fs::file_type::not_found) return written;
  std::optional<std::u16string> best;
  fs::path best_host;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::u16string candidate = DeviceName(it->path().filename());
    if (!EqualsFolded(candidate, name) || (best && !(candidate < *best)) || !IsPlainEntry(it->path())) continue;
    best = candidate;
    best_host = it->path().filename();
  }
  return best ? best_host : *written;
}

std::optional<fs::path> FolderBelowRoot(const Parts& parts, size_t count) {
  std::optional<fs::path> folder = DeviceRoot();
  for (size_t i = 0; folder && i < count; ++i) {
    const std::optional<fs::path> name = ResolveName(*folder, parts[i]);
    std::error_code ec;
    if (!name || fs::symlink_status(*folder / *name, ec).type() != fs::file_type::directory) return std::nullopt;
    *folder /= *name;
  }
  return folder;
}

void ListMatchingEntries(const fs::path& folder, std::u16string_view name_pattern, std::vector<ListedEntry>& entries) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!IsPlainEntry(it->path())) continue;
    ListedEntry entry;
    entry.name = DeviceName(it->path().filename());
    if (!WildcardMatch16(name_pattern, entry.name)) continue;
    std::error_code type_ec;
    entry.is_folder = it->is_directory(type_ec);
    entry.size = entry.is_folder ? 0 : it->file_size(type_ec);
    entry.write_time = DeviceTime(it->last_write_time(type_ec));
    entries.push_back(std::move(entry));
  }
}

std::optional<fs::path> PlaceInFolder(const Parts& parts) {
  const std::optional<fs::path> folder = FolderBelowRoot(parts, parts.size() - 1);
  if (!folder) return std::nullopt;
  const std::optional<fs::path> name = ResolveName(*folder, parts.back());
  if (!name) return std::nullopt;
  return *folder / *name;
}
#endif

}  // namespace

Descriptor OpenDeviceFile(std::u16string_view device_path, int flags) {
  const auto parts = SplitDevicePath(device_path, false);
  if (!parts) {
    errno = EINVAL;
    return Descriptor();
  }
#ifndef _WIN32
  // O_NONBLOCK: opening a pipe or a device placed on the volume must not hang; it does
  // nothing to a regular file.
  const int open_flags = flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
  // The path as written first, without creating: where it exists the case-insensitive
  // resolution would give it too, and one open replaces the looks at each folder.
  Descriptor root = OpenRoot();
  if (!root.valid()) return root;
  if (const std::optional<std::string> joined = JoinAsWritten(*parts, parts->size())) {
    Descriptor existing(OpenConfined(root.get(), *joined, open_flags & ~(O_CREAT | O_EXCL)));
    if (existing.valid() && (flags & O_EXCL) != 0) {
      errno = EEXIST;
      return Descriptor();
    }
    if (existing.valid() || IsLinkRefusal(errno)) return KeepRegular(std::move(existing));
  }
  Descriptor folder = OpenFolderBelow(std::move(root), *parts, parts->size() - 1);
  if (!folder.valid()) return folder;
  const std::optional<std::string> name = ResolveName(folder.get(), parts->back());
  if (!name) {
    errno = EINVAL;
    return Descriptor();
  }
  return KeepRegular(Descriptor(::openat(folder.get(), name->c_str(), open_flags, 0644)));
#else
  const std::optional<fs::path> path = PlaceInFolder(*parts);
  std::error_code ec;
  const fs::file_type type = path ? fs::symlink_status(*path, ec).type() : fs::file_type::none;
  if (!path || (type != fs::file_type::not_found && type != fs::file_type::regular)) {
    errno = EINVAL;
    return Descriptor();
  }
  return KeepRegular(Descriptor(VELD_OPEN_NATIVE(path->c_str(), flags | VELD_BINARY, 0644)));
#endif
}

bool CreateDeviceFolder(std::u16string_view device_path) {
  const auto parts = SplitDevicePath(device_path, false);
  if (!parts) return false;
  const std::optional<fs::path> written = HostName(parts->back());
  const auto placed = PlaceInFolder(*parts);
  if (!placed || !written) return false;
#ifndef _WIN32
  // Another letter case of the name is taken already.
  if (placed->name != written->native()) return false;
  return ::mkdirat(placed->folder.get(), placed->name.c_str(), 0755) == 0;
#else
  std::error_code ec;
  return placed->filename() == *written && fs::create_directory(*placed, ec) && !ec;
#endif
}

bool RemoveDeviceFile(std::u16string_view device_path) {
  const auto parts = SplitDevicePath(device_path, false);
  const auto placed = parts ? PlaceInFolder(*parts) : std::nullopt;
  if (!placed) return false;
#ifndef _WIN32
  struct stat info {};
  return ::fstatat(placed->folder.get(), placed->name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISREG(info.st_mode) && ::unlinkat(placed->folder.get(), placed->name.c_str(), 0) == 0;
#else
  std::error_code ec;
  return fs::symlink_status(*placed, ec).type() == fs::file_type::regular && fs::remove(*placed, ec);
#endif
}

std::vector<ListedEntry> ListDeviceFolder(std::u16string_view pattern) {
  std::vector<ListedEntry> entries;
  const auto parts = SplitDevicePath(pattern, true);
  if (!parts) return entries;
#ifndef _WIN32
  Descriptor folder = OpenFolderBelow(OpenRoot(), *parts, parts->size() - 1);
  if (!folder.valid()) return entries;
  ListMatchingEntries(std::move(folder), parts->back(), entries);
#else
  const std::optional<fs::path> folder = FolderBelowRoot(*parts, parts->size() - 1);
  if (!folder) return entries;
  ListMatchingEntries(*folder, parts->back(), entries);
#endif
  SortLikeTheDevice(entries);
  return entries;
}

}  // namespace veld::standin
