#pragma once
// The calibration certificate: one page that sets the As Found and the As Left result of
// a UUT side by side (header block, calibration data table, instrument block), laid out
// on the 70-row page grid of any CertificateCanvas.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "database/desktop_settings.h"
#include "platform/prompter.h"
#include "records/test_results.h"
#include "reports/certificate_canvas.h"
#include "reports/page_grid.h"

namespace veld {

inline constexpr const char* kCertificateDocumentName = "Cal Sheet";

// The three fonts of a certificate, sized from the page grid.
FontRequest CertificateBodyFont(const PageGrid& grid);
FontRequest CertificateHeadingFont(const PageGrid& grid);
FontRequest CertificateTitleFont(const PageGrid& grid);

// What an issued certificate adds to the page: the laboratory's header in the band above
// the title (nothing when it is not set) and the certificate's number beside the title.
struct CertificateIssue {
  LabHeader header;
  std::string logo_host_path;  // the header's logo image; empty: none
  std::optional<uint64_t> number;
};

// The header from the desktop's settings and the next certificate number, which is
// taken (stored) here. Throws FileError.
CertificateIssue IssueCertificate(DesktopSettingsStore& store);

// The grid box of the title; the title font is sized to fit it on every page.
struct GridBox {
  double x, y, w, h;
};
inline constexpr GridBox kTitleBox{15, 9.625, 70, 1.75};

// Draws the whole page. A side whose profile has 0 points is the side the user did not
// select and has no rows. pressure_factor is the size in Pa of one unit of the As Found
// UUT's input unit. Returns the certificate row (the row that the instrument block hangs
// from), or nothing when the fonts could not be created: then "Can't create fonts" is
// shown and the page stays empty. issue: what an issued certificate adds to the page.
std::optional<int> DrawCertificate(CertificateCanvas& canvas, const TestResults& as_found,
                                   const TestResults& as_left, double pressure_factor, Prompter& prompter,
                                   const CertificateIssue& issue = {});

// What formatting into a char buffer of buffer_size bytes keeps of a text: at most
// buffer_size - 1 characters.
std::string CutToBuffer(std::string text, size_t buffer_size);

}  // namespace veld
