#include "database/desktop_settings.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include "platform/binary_file.h"
#include "platform/file_lock.h"
#include "platform/file_error.h"
#include "platform/format.h"
#include "platform/host_path.h"

namespace veld {
namespace {

constexpr const char* kNameKey = "LabName";
constexpr const char* kAddressKey = "LabAddress";            // + line number from 1
constexpr const char* kAccreditationKey = "LabAccreditation";  // + line number from 1
constexpr const char* kLogoKey = "LabLogo";
constexpr const char* kCounterKey = "LastCertificateNumber";
constexpr const char* kLogoBaseName = "LabLogo";

bool HasControlCharacter(const std::string& text) {
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x20 || code == 0x7F) return true;
  }
  return false;
}

std::vector<std::string> WithoutTrailingEmptyLines(std::vector<std::string> lines) {
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

void CheckLines(const std::vector<std::string>& given, const char* what, size_t max_lines,
                std::vector<std::string>& problems) {
  const std::vector<std::string> lines = WithoutTrailingEmptyLines(given);
  if (lines.size() > max_lines) problems.push_back(Format("The %s has more than %zu lines.", what, max_lines));
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() > LabHeader::kMaxLineLength) {
      problems.push_back(Format("Line %zu of the %s is longer than %zu characters.", i + 1, what,
                                LabHeader::kMaxLineLength));
    }
    if (HasControlCharacter(lines[i])) problems.push_back(Format("Line %zu of the %s holds a control character.", i + 1, what));
  }
}

// The file name extension of a logo's format, from its first bytes; empty for neither.
std::string LogoExtension(std::string_view bytes) {
  if (bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) return ".png";
  if (bytes.substr(0, 3) == "\xFF\xD8\xFF") return ".jpg";
  return {};
}

std::string SystemHostPath(const std::string& file_name) { return HostPath(std::string(kSystemFolder) + file_name); }

void RemoveQuietly(const std::string& host_path) {
  std::error_code ignored;
  std::filesystem::remove(host_path, ignored);
}

}  // namespace

std::vector<std::string> LabHeaderProblems(const LabHeader& header) {
  std::vector<std::string> problems;
  if (header.name.empty() && header.IsSet()) problems.push_back("The laboratory's name is missing.");
  if (header.name.size() > LabHeader::kMaxNameLength) {
    problems.push_back(Format("The laboratory's name is longer than %zu characters.", LabHeader::kMaxNameLength));
  }
  if (HasControlCharacter(header.name)) problems.push_back("The laboratory's name holds a control character.");
  CheckLines(header.address, "address", LabHeader::kMaxAddressLines, problems);
  CheckLines(header.accreditation, "accreditation text", LabHeader::kMaxAccreditationLines, problems);
  return problems;
}

std::string LogoFileProblem(const std::string& host_path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(host_path, ec)) return host_path + " is not a file.";
  const uintmax_t size = std::filesystem::file_size(host_path, ec);
  if (ec) return host_path + " cannot be read.";
  if (size > LabHeader::kMaxLogoBytes) {
    return Format("%s is larger than %llu MB.", host_path.c_str(),
                  static_cast<unsigned long long>(LabHeader::kMaxLogoBytes / (1024 * 1024)));
  }
  BinaryFile file;
  if (!file.TryOpen(host_path, BinaryFile::Mode::Read)) return host_path + " cannot be read.";
  char head[8] = {};
  const size_t read = file.Read(head, sizeof head);
  if (LogoExtension(std::string_view(head, read)).empty()) return host_path + " is neither a PNG nor a JPEG image.";
  return {};
}

std::string DesktopSettingsStore::Entries::Get(const std::string& key) const {
  for (const Line& line : lines) {
    if (line.has_value && line.key == key) return line.value;
  }
  return {};
}

void DesktopSettingsStore::Entries::Set(const std::string& key, const std::string& value) {
  for (Line& line : lines) {
    if (line.has_value && line.key == key) {
      line.value = value;
      return;
    }
  }
  lines.push_back({key, value, true});
}

void DesktopSettingsStore::Entries::Remove(const std::string& key) {
  std::erase_if(lines, [&](const Line& line) { return line.has_value && line.key == key; });
}

// Lines without "=" (a comment written by hand) are kept as keys without a value.
DesktopSettingsStore::Entries DesktopSettingsStore::Read() {
  Entries entries;
  const std::string host = HostPath(kDesktopSettingsPath);
  if (!BinaryFile::Exists(host)) return entries;
  const FileBytes bytes = BinaryFile::ReadWholeFile(host);
  std::string_view text = bytes.view();
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      entries.lines.push_back({std::string(line), {}, false});
    } else {
      entries.lines.push_back({std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)), true});
    }
  }
  return entries;
}

void DesktopSettingsStore::Write(const Entries& entries) {
  std::string text;
  for (const Line& line : entries.lines) text += line.key + (line.has_value ? "=" + line.value : std::string()) + "\r\n";
  BinaryFile::ReplaceWholeFile(HostPath(kDesktopSettingsPath), text);
}

LabHeader DesktopSettingsStore::LoadLabHeader() const {
  const Entries entries = Read();
  LabHeader header;
  header.name = entries.Get(kNameKey);
  for (size_t i = 1; i <= LabHeader::kMaxAddressLines; ++i) header.address.push_back(entries.Get(kAddressKey + std::to_string(i)));
  for (size_t i = 1; i <= LabHeader::kMaxAccreditationLines; ++i) {
    header.accreditation.push_back(entries.Get(kAccreditationKey + std::to_string(i)));
  }
  header.address = WithoutTrailingEmptyLines(std::move(header.address));
  header.accreditation = WithoutTrailingEmptyLines(std::move(header.accreditation));
  header.logo = entries.Get(kLogoKey);
  return header;
}

std::string DesktopSettingsStore::LogoHostPath(const LabHeader& header) const {
  return header.logo.empty() ? std::string() : SystemHostPath(header.logo);
}

void DesktopSettingsStore::SaveLabHeader(LabHeader header, const std::optional<std::string>& new_logo) {
  header.address = WithoutTrailingEmptyLines(std::move(header.address));
  header.accreditation = WithoutTrailingEmptyLines(std::move(header.accreditation));
  const FileLock lock = FileLock::Lock(HostPath(kDesktopSettingsLockPath));
  Entries entries = Read();
  const std::string old_logo = entries.Get(kLogoKey);
  if (new_logo) {
    const std::string problem = LogoFileProblem(*new_logo);
    if (!problem.empty()) throw FileError(FileError::Cause::Generic, *new_logo, problem);
    const FileBytes bytes = BinaryFile::ReadWholeFile(*new_logo);
    header.logo = kLogoBaseName + LogoExtension(bytes.view());
    BinaryFile::ReplaceWholeFile(SystemHostPath(header.logo), bytes.view());
  }
  entries.Set(kNameKey, header.name);
  for (size_t i = 0; i < LabHeader::kMaxAddressLines; ++i) {
    const std::string key = kAddressKey + std::to_string(i + 1);
    if (i < header.address.size()) {
      entries.Set(key, header.address[i]);
    } else {
      entries.Remove(key);
    }
  }
  for (size_t i = 0; i < LabHeader::kMaxAccreditationLines; ++i) {
    const std::string key = kAccreditationKey + std::to_string(i + 1);
    if (i < header.accreditation.size()) {
      entries.Set(key, header.accreditation[i]);
    } else {
      entries.Remove(key);
    }
  }
  entries.Set(kLogoKey, header.logo);
  Write(entries);
  // The settings name the new logo before the one they no longer name goes.
  if (!old_logo.empty() && old_logo != header.logo && old_logo.find_first_of("/\\") == std::string::npos) {
    RemoveQuietly(SystemHostPath(old_logo));
  }
}

uint64_t DesktopSettingsStore::LastCertificateNumber() const { return CertificateNumberIn(Read()); }

uint64_t DesktopSettingsStore::CertificateNumberIn(const Entries& entries) {
  const std::string text = entries.Get(kCounterKey);
  uint64_t number = 0;
  if (text.empty()) return 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) {
    throw FileError(FileError::Cause::Generic, HostPath(kDesktopSettingsPath),
                    "the certificate counter \"" + text + "\" is not a number; no certificate number can be issued");
  }
  return number;
}

uint64_t DesktopSettingsStore::TakeCertificateNumber() {
  const FileLock lock = FileLock::Lock(HostPath(kDesktopSettingsLockPath));
  Entries entries = Read();
  const uint64_t next = CertificateNumberIn(entries) + 1;
  entries.Set(kCounterKey, std::to_string(next));
  Write(entries);
  return next;
}

std::string CertificateNumberText(uint64_t number) {
  return Format("Certificate No. %06llu", static_cast<unsigned long long>(number));
}

}  // namespace veld
