#pragma once
// The drawing surface of the calibration certificate: the few things the certificate
// needs of a printer page (its size, fonts, text in a box, a rule). The desktop draws on
// a printer or a PDF file; tests record what is drawn.

#include <memory>
#include <string>

namespace veld {

// The page as the printer reports it.
struct PageMetrics {
  int log_pixels_y = 0;  // device pixels per inch, vertically
  int vert_size_mm = 0;  // printable height in millimetres
  int horz_res = 0;      // printable width in device pixels
};

// A rectangle in device pixels. As on the printer, right and bottom lie just outside.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int Width() const { return right - left; }
  bool operator==(const PixelRect&) const = default;
};

enum class TextAlign { Left, Centre, Right };

// The printer's pitch-and-family hint, which guides substitution of a missing face.
enum class FontFamily { Modern, Roman };

// A font as the printer creates it. Height is the cell height (ascent plus descent) and
// width the average character width, both in device pixels. The character set is always
// the 8-bit ANSI one.
struct FontRequest {
  std::string face;
  int height = 0;
  int width = 0;
  int weight = 400;  // 100 (thin) to 900 (black); 400 is normal, 700 bold
  bool underline = false;
  FontFamily family = FontFamily::Modern;
  bool prefer_device_font = false;  // choose the printer's own font of the face if it has one

  bool operator==(const FontRequest&) const = default;
};

// A font created by a canvas; deleting it releases it.
class CanvasFont {
 public:
  virtual ~CanvasFont() = default;
  virtual const FontRequest& Request() const = 0;
};

class CertificateCanvas {
 public:
  virtual ~CertificateCanvas() = default;

  virtual PageMetrics Metrics() const = 0;
  // Null when the font cannot be created.
  virtual std::unique_ptr<CanvasFont> MakeFont(const FontRequest& request) = 0;
  // Texts that follow use the font, which must outlive its use.
  virtual void SelectFont(const CanvasFont& font) = 0;
  // One line of 8-bit text, centred vertically and aligned horizontally in the
  // rectangle, clipped to it.
  virtual void DrawTextInRect(const PixelRect& rect, const std::string& text, TextAlign align) = 0;
  // The outline of a rectangle; the certificate's rules have no height and show as a
  // thin horizontal line along the top.
  virtual void DrawRule(const PixelRect& rect) = 0;
  // The image in a file (a host path), as large as fits the rectangle without changing its
  // proportions, at its left and centred vertically. False when the image cannot be read
  // or the canvas draws no images; the page goes on without it.
  virtual bool DrawImage(const PixelRect& rect, const std::string& host_path) {
    (void)rect;
    (void)host_path;
    return false;
  }
};

}  // namespace veld
