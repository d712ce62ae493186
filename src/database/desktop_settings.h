#pragma once
// The desktop's own settings, which the calibrator never sees: the laboratory's
// certificate header and the certificate counter. Kept as key=value lines in
// "C:\VELD\PC\System\VeldaneManager.ini" (beside, never inside, the shared settings
// table), with the header's logo copied into the same folder, so that the window and
// veldane-cli share them. Every change rewrites the file whole (write beside, flush,
// rename) under a lock that serialises the processes of one data root, so that two
// certificates never get the same number.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include "records/database_layout.h"

namespace veld {

inline constexpr const char* kDesktopSettingsPath = layout::kDesktopSettings;
inline constexpr const char* kDesktopSettingsLockPath = layout::kDesktopSettingsLock;
inline constexpr const char* kSystemFolder = layout::kSystemFolder;

// What a certificate prints above its title. 8-bit (Latin-1) texts.
struct LabHeader {
  static constexpr size_t kMaxNameLength = 50;
  static constexpr size_t kMaxLineLength = 66;
  static constexpr size_t kMaxAddressLines = 4;
  static constexpr size_t kMaxAccreditationLines = 2;
  static constexpr uint64_t kMaxLogoBytes = 4 * 1024 * 1024;

  std::string name;
  std::vector<std::string> address;        // one entry per printed line
  std::vector<std::string> accreditation;  // one entry per printed line
  std::string logo;                        // the logo's file name in the System folder; empty: none

  // A header with nothing in it prints nothing: the page is as it has always been.
  bool IsSet() const { return !name.empty() || !address.empty() || !accreditation.empty() || !logo.empty(); }
  bool operator==(const LabHeader&) const = default;
};

inline constexpr const char* kLabTextNotLatin1Message =
    "The header can hold only the characters of the 8-bit Latin-1 set that certificates print.";

// What keeps a header from being stored, one message per fault; empty when it can be.
// Empty lines at the end of the address and accreditation are not counted.
std::vector<std::string> LabHeaderProblems(const LabHeader& header);
// Why a file cannot be a logo (missing, too large, neither PNG nor JPEG); empty when it can.
std::string LogoFileProblem(const std::string& host_path);

class DesktopSettingsStore {
 public:
  LabHeader LoadLabHeader() const;
  // The host path of the header's logo, empty when it has none.
  std::string LogoHostPath(const LabHeader& header) const;

  // Stores the header (checked by the caller with LabHeaderProblems). new_logo: the host
  // path of a logo to copy in, replacing the kept one; without it the header's logo
  // field stands (empty removes the logo). Throws FileError.
  void SaveLabHeader(LabHeader header, const std::optional<std::string>& new_logo = std::nullopt);

  // The number of the last certificate issued (0 before the first).
  uint64_t LastCertificateNumber() const;
  // Issues the next number: stored before it is returned, so that no two certificates get
  // the same one even from two processes. Throws FileError, and refuses (rather than
  // start again at 1) when the stored counter is not a number.
  uint64_t TakeCertificateNumber();

 private:
  struct Line {
    std::string key;  // the whole line when it has no "=" (kept as written)
    std::string value;
    bool has_value = true;
  };
  struct Entries {
    std::vector<Line> lines;  // in file order, unknown keys kept
    std::string Get(const std::string& key) const;
    void Set(const std::string& key, const std::string& value);
    void Remove(const std::string& key);
  };
  static Entries Read();
  // The stored counter; throws FileError when it is not a number.
  static uint64_t CertificateNumberIn(const Entries& entries);
  static void Write(const Entries& entries);
};

// How a certificate number prints beside the title: "Certificate No. 000042".
std::string CertificateNumberText(uint64_t number);

}  // namespace veld
