#pragma once
// The certificate canvas on a QPainter that is active on a printer, a PDF file or an
// image.

#include <memory>
#include <string>

#include "reports/certificate_canvas.h"

class QPainter;

namespace veld {

class QtCertificateCanvas : public CertificateCanvas {
 public:
  explicit QtCertificateCanvas(QPainter& painter);

  PageMetrics Metrics() const override;
  // Null for a font without height (a page too small for the grid).
  std::unique_ptr<CanvasFont> MakeFont(const FontRequest& request) override;
  void SelectFont(const CanvasFont& font) override;
  void DrawTextInRect(const PixelRect& rect, const std::string& text, TextAlign align) override;
  void DrawRule(const PixelRect& rect) override;
  // Transparent parts of the image print white: an archived PDF/A-1 may hold no
  // transparency.
  bool DrawImage(const PixelRect& rect, const std::string& host_path) override;

 private:
  QPainter& painter_;
};

}  // namespace veld
