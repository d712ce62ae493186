#pragma once
// The "Certificate header" dialog without its widgets: the laboratory's name, address,
// accreditation and logo as the user edits them, the checks OK applies, and the store
// the header goes into.

#include <optional>
#include <string>
#include <vector>

#include "database/desktop_settings.h"

namespace veld {

inline constexpr const char* kCertificateHeaderCaption = "Certificate header";
inline constexpr const char* kLabNameLabel = "Laboratory &name:";
inline constexpr const char* kLabAddressLabel = "&Address (up to 4 lines):";
inline constexpr const char* kLabAccreditationLabel = "A&ccreditation (up to 2 lines):";
inline constexpr const char* kLabLogoLabel = "Logo (PNG or JPEG):";
inline constexpr const char* kLabNoLogoText = "(none)";
inline constexpr const char* kChooseLogoLabel = "C&hoose...";
inline constexpr const char* kRemoveLogoLabel = "&Remove";
inline constexpr const char* kChooseLogoCaption = "Laboratory logo";
inline constexpr const char* kLabHeaderExplanation =
    "Printed above the title of every certificate. Leave every field empty for no header.";

class LabHeaderForm {
 public:
  // The header as stored, and the host path of its logo (empty: none).
  LabHeaderForm(LabHeader stored, std::string stored_logo_path);

  // The texts as the dialog shows and edits them; the multi-line ones with "\n" between
  // lines (a "\r\n" counts as one).
  std::string name;
  std::string address;
  std::string accreditation;

  // The logo the certificate will print: a file the user chose, the stored one, or none.
  const std::string& LogoPath() const { return logo_path_; }
  // A file chosen as the new logo; false (with the reason in LastLogoProblem) when it
  // cannot be one.
  bool ChooseLogo(const std::string& host_path);
  const std::string& LastLogoProblem() const { return logo_problem_; }
  void RemoveLogo();

  // What OK would refuse, one message a line ("\r\n"); empty when the header can be stored.
  std::string Problems() const;
  // The header as it will be stored.
  LabHeader Header() const;
  // Stores the header, copying a newly chosen logo in. Throws FileError.
  void Save(DesktopSettingsStore& store) const;

 private:
  LabHeader stored_;
  std::string logo_path_;
  std::optional<std::string> new_logo_;
  std::string logo_problem_;
};

}  // namespace veld
