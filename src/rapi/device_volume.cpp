#include "rapi/device_volume.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <system_error>
#include <utility>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <time.h>
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

// The entry of folder whose name equals name ignoring case (the exact name first, then
// the smallest of the others); name as written when none does.
std::optional<fs::path> ResolveComponent(const fs::path& folder, std::u16string_view name) {
  std::optional<fs::path> written = HostName(name);
  if (!written) return std::nullopt;
  std::error_code ec;
  if (fs::exists(folder / *written, ec)) return written;
  std::optional<std::u16string> best;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::u16string candidate = DeviceName(it->path().filename());
    if (EqualsFolded(candidate, name) && (!best || candidate < *best)) best = candidate;
  }
  return best ? HostName(*best) : written;
}

// The first count components joined below the device root as they are written.
std::optional<fs::path> JoinAsWritten(const std::vector<std::u16string>& parts, size_t count) {
  const char* root = std::getenv("VELD_DEVICE");
  if (root == nullptr || *root == '\0') return std::nullopt;
  fs::path as_written = root;
  for (size_t i = 0; i < count; ++i) {
    const std::optional<fs::path> name = HostName(parts[i]);
    if (!name) return std::nullopt;
    as_written /= *name;
  }
  return as_written;
}

std::optional<fs::path> ResolveComponents(const std::vector<std::u16string>& parts, size_t count) {
  // A path that exists as written resolves to itself: the root and every folder on the way
  // exist as written too. One look instead of one per component.
  if (count > 0) {
    const std::optional<fs::path> as_written = JoinAsWritten(parts, count);
    std::error_code ec;
    if (as_written && fs::exists(*as_written, ec)) return as_written;
  }
  std::optional<fs::path> host = DeviceRoot();
  if (!host) return std::nullopt;
  for (size_t i = 0; i < count; ++i) {
    std::optional<fs::path> name = ResolveComponent(*host, parts[i]);
    if (!name) return std::nullopt;
    *host /= *name;
  }
  return host;
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

std::optional<fs::path> DevicePathAsWritten(std::u16string_view device_path) {
  const auto parts = SplitDevicePath(device_path, false);
  if (!parts) return std::nullopt;
  return JoinAsWritten(*parts, parts->size());
}

std::optional<fs::path> ResolveDevicePath(std::u16string_view device_path) {
  const auto parts = SplitDevicePath(device_path, false);
  if (!parts) return std::nullopt;
  return ResolveComponents(*parts, parts->size());
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

#ifdef _WIN32
void ListMatchingEntries(const fs::path& folder, std::u16string_view name_pattern, std::vector<ListedEntry>& entries) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code type_ec;
    const bool is_folder = it->is_directory(type_ec);
    if (!is_folder && !it->is_regular_file(type_ec)) continue;
    ListedEntry entry;
    entry.name = DeviceName(it->path().filename());
    if (!WildcardMatch16(name_pattern, entry.name)) continue;
    entry.is_folder = is_folder;
    entry.size = is_folder ? 0 : it->file_size(type_ec);
    entry.write_time = DeviceTime(it->last_write_time(type_ec));
    entries.push_back(std::move(entry));
  }
}
#else
// One look at each entry (following links, as the folder's own listing would), relative to
// the open folder: large folders list in milliseconds, without a path built per entry.
void ListMatchingEntries(const fs::path& folder, std::u16string_view name_pattern, std::vector<ListedEntry>& entries) {
  DIR* listing = ::opendir(folder.c_str());
  if (listing == nullptr) return;
  while (const dirent* found = ::readdir(listing)) {
    const std::string_view host_name = found->d_name;
    if (host_name == "." || host_name == "..") continue;
    ListedEntry entry;
    entry.name = DeviceNameOfNative(host_name);
    if (!WildcardMatch16(name_pattern, entry.name)) continue;
    struct stat info {};
    if (::fstatat(::dirfd(listing), found->d_name, &info, 0) != 0) continue;
    entry.is_folder = S_ISDIR(info.st_mode);
    if (!entry.is_folder && !S_ISREG(info.st_mode)) continue;
    entry.size = entry.is_folder ? 0 : static_cast<uint64_t>(info.st_size);
    entry.write_time = DeviceTime(info.st_mtim);
    entries.push_back(std::move(entry));
  }
  ::closedir(listing);
}
#endif

}  // namespace

std::vector<ListedEntry> ListDeviceFolder(std::u16string_view pattern) {
  std::vector<ListedEntry> entries;
  const auto parts = SplitDevicePath(pattern, true);
  if (!parts) return entries;
  const std::optional<fs::path> folder = ResolveComponents(*parts, parts->size() - 1);
  if (!folder) return entries;
  ListMatchingEntries(*folder, parts->back(), entries);
  SortLikeTheDevice(entries);
  return entries;
}

}  // namespace veld::standin
