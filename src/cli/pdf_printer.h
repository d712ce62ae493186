#pragma once
// The Print button's printer for veldane-cli: the certificate goes into a PDF/A-1b file
// on the paper asked for, drawn by the Qt backend on its offscreen platform (no display
// needed), with the header and the next number from the desktop's settings.

#include <optional>
#include <string>

#include "cli/headless_qt.h"
#include "platform/prompter.h"
#include "reports/collation.h"
#include "reports/paper.h"

namespace veld::cli {

class PdfCertificatePrinter : public CertificatePrinter {
 public:
  explicit PdfCertificatePrinter(Prompter& prompter) : prompter_(prompter) {}
  // Where the next certificate goes, and on which paper.
  void SetTarget(std::string host_path, Paper paper) {
    host_path_ = std::move(host_path);
    paper_ = paper;
  }
  void PrintCertificate(const TestResults& as_found, const TestResults& as_left, double pressure_factor) override;
  // False when the page could not be drawn (the fonts message was shown).
  bool Succeeded() const { return succeeded_; }

 private:
  // Made when the first certificate is drawn; it lives as long as the printer, and so
  // ends before main does.
  std::optional<HeadlessQt> qt_;
  std::string host_path_;
  Paper paper_ = Paper::Letter;
  Prompter& prompter_;
  bool succeeded_ = false;
};

}  // namespace veld::cli
