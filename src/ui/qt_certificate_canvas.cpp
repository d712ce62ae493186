#include "ui/qt_certificate_canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QImageReader>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/latin1.h"

namespace veld {
namespace {

class QtCanvasFont : public CanvasFont {
 public:
  QtCanvasFont(FontRequest request, QFont font) : request_(std::move(request)), font_(std::move(font)) {}
  const FontRequest& Request() const override { return request_; }
  const QFont& Font() const { return font_; }

 private:
  FontRequest request_;
  QFont font_;
};

QFont::StyleHint StyleHintOf(FontFamily family) {
  return family == FontFamily::Roman ? QFont::Serif : QFont::TypeWriter;
}

// The printer's font height is the cell height (ascent plus descent), Qt's pixel size
// the em size: scale the em so that the cell comes out at the height asked for.
void SetCellHeight(QFont& font, int height, QPaintDevice* device) {
  font.setPixelSize(height);
  const qreal cell = QFontMetricsF(font, device).height();
  if (cell > 0) font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * height / cell))));
}

// The printer's font width is the average character width; Qt reaches it by stretching.
void SetAverageWidth(QFont& font, int width, QPaintDevice* device) {
  if (width <= 0) return;  // the face's own proportions
  const qreal natural = QFontMetricsF(font, device).averageCharWidth();
  if (natural <= 0) return;
  font.setStretch(std::clamp(static_cast<int>(std::lround(100.0 * width / natural)), 1, 4000));
}

int AlignmentOf(TextAlign align) {
  switch (align) {
    case TextAlign::Left: return Qt::AlignLeft;
    case TextAlign::Centre: return Qt::AlignHCenter;
    case TextAlign::Right: return Qt::AlignRight;
  }
  return Qt::AlignLeft;
}

QRect ToQRect(const PixelRect& rect) {
  return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

}  // namespace

QtCertificateCanvas::QtCertificateCanvas(QPainter& painter) : painter_(painter) {}

PageMetrics QtCertificateCanvas::Metrics() const {
  const QPaintDevice* device = painter_.device();
  return PageMetrics{device->logicalDpiY(), device->heightMM(), device->width()};
}

std::unique_ptr<CanvasFont> QtCertificateCanvas::MakeFont(const FontRequest& request) {
  if (request.height <= 0) return nullptr;
  QFont font(Latin1(request.face));
  // A missing face is replaced by the closest of the family the printer asks for.
  font.setStyleHint(StyleHintOf(request.family),
                    request.prefer_device_font ? QFont::PreferDevice : QFont::PreferDefault);
  font.setWeight(static_cast<QFont::Weight>(std::clamp(request.weight, 1, 1000)));
  font.setUnderline(request.underline);
  SetCellHeight(font, request.height, painter_.device());
  SetAverageWidth(font, request.width, painter_.device());
  return std::make_unique<QtCanvasFont>(request, font);
}

void QtCertificateCanvas::SelectFont(const CanvasFont& font) {
  painter_.setFont(static_cast<const QtCanvasFont&>(font).Font());
}

void QtCertificateCanvas::DrawTextInRect(const PixelRect& rect, const std::string& text, TextAlign align) {
  // Without Qt::TextDontClip the text is clipped to its rectangle.
  painter_.drawText(ToQRect(rect), Qt::TextSingleLine | Qt::AlignVCenter | AlignmentOf(align), Latin1(text));
}

bool QtCertificateCanvas::DrawImage(const PixelRect& rect, const std::string& host_path) {
  QImageReader reader(HostPathText(host_path));
  reader.setAutoTransform(true);
  const QImage image = reader.read();
  if (image.isNull() || rect.Width() <= 0 || rect.bottom <= rect.top) return false;
  QImage opaque(image.size(), QImage::Format_RGB32);
  opaque.fill(Qt::white);
  {
    QPainter flatten(&opaque);
    flatten.drawImage(0, 0, image);
  }
  const QSize fitted = opaque.size().scaled(rect.Width(), rect.bottom - rect.top, Qt::KeepAspectRatio);
  const QRect target(rect.left, rect.top + (rect.bottom - rect.top - fitted.height()) / 2, fitted.width(),
                     fitted.height());
  painter_.drawImage(target, opaque);
  return true;
}

void QtCertificateCanvas::DrawRule(const PixelRect& rect) {
  // A printer's one-pixel pen all but vanishes at high resolutions; a tenth of a
  // millimetre stays thin and visible.
  const int pen_width = std::max(1, painter_.device()->logicalDpiY() / 254);
  painter_.save();
  painter_.setPen(QPen(Qt::black, pen_width, Qt::SolidLine, Qt::FlatCap));
  painter_.drawLine(rect.left, rect.top, rect.right, rect.top);
  painter_.restore();
}

}  // namespace veld
