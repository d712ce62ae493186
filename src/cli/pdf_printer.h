#pragma once
// The Print button's printer for veldane-cli: the certificate goes into a PDF/A-1b file
// on the paper asked for, drawn by the Qt backend on its offscreen platform (no display
// needed), with the header and the next number from the desktop's settings.

#include <memory>
#include <string>

#include "platform/prompter.h"
#include "reports/collation.h"
#include "reports/paper.h"

class QGuiApplication;

namespace veld::cli {

class PdfCertificatePrinter : public CertificatePrinter {
 public:
  explicit PdfCertificatePrinter(Prompter& prompter);
  ~PdfCertificatePrinter() override;
  // Where the next certificate goes, and on which paper.
  void SetTarget(std::string host_path, Paper paper) {
    host_path_ = std::move(host_path);
    paper_ = paper;
  }
  void PrintCertificate(const TestResults& as_found, const TestResults& as_left, double pressure_factor) override;
  // False when the page could not be drawn (the fonts message was shown).
  bool Succeeded() const { return succeeded_; }

 private:
  void EnsureGuiApplication();

  // The application object lives as long as the printer, and so ends before main does.
  int argc_ = 1;
  char name_[12] = "veldane-cli";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QGuiApplication> application_;
  std::string host_path_;
  Paper paper_ = Paper::Letter;
  Prompter& prompter_;
  bool succeeded_ = false;
};

}  // namespace veld::cli
