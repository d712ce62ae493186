#include "ui/chart_rendering.h"

#include <QAreaSeries>
#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <memory>

#include "platform/binary_file.h"
#include "ui/latin1.h"

namespace veld {
namespace {

// The size a chart file is laid out at, in pixels (points for SVG and PDF).
constexpr int kFileWidth = 1000;
constexpr int kFileHeight = 620;
constexpr qreal kMarkerSize = 9.0;
constexpr qreal kFailedMarkerSize = 13.0;

QColor RoleColour(SeriesRole role) {
  switch (role) {
    case SeriesRole::AsFound: return QColor(0x1f, 0x5f, 0xbf);
    case SeriesRole::AsLeft: return QColor(0x1a, 0x8f, 0x3c);
    case SeriesRole::Limit: return QColor(0x80, 0x5a, 0x1e);
  }
  return Qt::black;
}

const QColor kFailedColour(0xd6, 0x1f, 0x1f);
const QColor kBandColour(0x2c, 0xa0, 0x2c, 0x30);

QCategoryAxis* MakeAxis(const ChartAxis& axis) {
  auto* made = new QCategoryAxis;
  made->setTitleText(Latin1(axis.title));
  made->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  made->setStartValue(axis.min);
  made->setRange(axis.min, axis.max);
  for (const ChartTick& tick : axis.ticks) made->append(Latin1(tick.label), tick.value);
  return made;
}

// Puts a series on the chart against both axes.
void Add(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
  chart->addSeries(series);
  series->attachAxis(x);
  series->attachAxis(y);
}

void HideFromLegend(QChart* chart, QAbstractSeries* series) {
  for (QLegendMarker* marker : chart->legend()->markers(series)) marker->setVisible(false);
}

void AddBand(QChart* chart, const ChartBand& band, const ChartAxis& x_axis, QAbstractAxis* x, QAbstractAxis* y) {
  auto* upper = new QLineSeries(chart);
  auto* lower = new QLineSeries(chart);
  upper->append(x_axis.min, band.high);
  upper->append(x_axis.max, band.high);
  lower->append(x_axis.min, band.low);
  lower->append(x_axis.max, band.low);
  auto* area = new QAreaSeries(upper, lower);
  area->setName(Latin1(band.name));
  area->setBrush(kBandColour);
  area->setPen(QPen(kBandColour.darker(150), 1.0));
  Add(chart, area, x, y);
}

// A series is its line, and its markers drawn over it in the same colour; the legend
// shows the line. A dashed series is lighter, so that the legend, which shows no dashes,
// tells it from the solid one of the same role.
void AddSeries(QChart* chart, const ChartSeries& data, QAbstractAxis* x, QAbstractAxis* y) {
  const QColor colour = data.line == LineStyle::Dashed ? RoleColour(data.role).lighter(160) : RoleColour(data.role);
  auto* line = new QLineSeries;
  line->setName(Latin1(data.name));
  QPen pen(colour, data.role == SeriesRole::Limit ? 1.5 : 2.0);
  pen.setStyle(data.line == LineStyle::Dashed ? Qt::DashLine : Qt::SolidLine);
  line->setPen(pen);
  for (const ChartPoint& point : data.points) line->append(point.x, point.y);
  Add(chart, line, x, y);
  if (data.marker == MarkerShape::None) return;
  auto* markers = new QScatterSeries;
  markers->setMarkerShape(data.marker == MarkerShape::Square ? QScatterSeries::MarkerShapeRectangle
                                                             : QScatterSeries::MarkerShapeCircle);
  markers->setMarkerSize(kMarkerSize);
  markers->setColor(colour);
  markers->setBorderColor(colour);
  for (const ChartPoint& point : data.points) markers->append(point.x, point.y);
  Add(chart, markers, x, y);
  HideFromLegend(chart, markers);
}

void AddFailedPoints(QChart* chart, const ChartData& data, QAbstractAxis* x, QAbstractAxis* y) {
  auto* failed = new QScatterSeries;
  failed->setName(QString::fromLatin1(kFailedPointLegend));
  failed->setMarkerShape(QScatterSeries::MarkerShapeCircle);
  failed->setMarkerSize(kFailedMarkerSize);
  failed->setColor(kFailedColour);
  failed->setBorderColor(kFailedColour.darker(130));
  for (const ChartSeries& series : data.series) {
    for (const ChartPoint& point : series.points) {
      if (point.failed) failed->append(point.x, point.y);
    }
  }
  Add(chart, failed, x, y);
}

// A legend entry without data or marker.
void AddNote(QChart* chart, const std::string& note, QAbstractAxis* x, QAbstractAxis* y) {
  auto* empty = new QLineSeries;
  empty->setName(Latin1(note));
  empty->setPen(Qt::NoPen);
  Add(chart, empty, x, y);
  for (QLegendMarker* marker : chart->legend()->markers(empty)) {
    marker->setBrush(Qt::transparent);
    marker->setPen(Qt::NoPen);
  }
}

// Lays the chart out at the file size on a scene of its own and paints it into target.
void Paint(QChart* chart, QPainter& painter, const QRectF& target) {
  QGraphicsScene scene;
  scene.addItem(chart);
  chart->setGeometry(0, 0, kFileWidth, kFileHeight);
  scene.setSceneRect(0, 0, kFileWidth, kFileHeight);
  painter.setRenderHint(QPainter::Antialiasing);
  scene.render(&painter, target, QRectF(0, 0, kFileWidth, kFileHeight));
  scene.removeItem(chart);
}

QByteArray PngBytes(QChart* chart) {
  QImage image(kFileWidth, kFileHeight, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    Paint(chart, painter, QRectF(0, 0, kFileWidth, kFileHeight));
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

QByteArray SvgBytes(QChart* chart, const QString& title) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator svg;
  svg.setOutputDevice(&buffer);
  svg.setSize(QSize(kFileWidth, kFileHeight));
  svg.setViewBox(QRect(0, 0, kFileWidth, kFileHeight));
  svg.setTitle(title);
  {
    QPainter painter(&svg);
    Paint(chart, painter, QRectF(0, 0, kFileWidth, kFileHeight));
  }
  return bytes;
}

// One landscape page, the chart scaled to fill its printable area.
QByteArray PdfBytes(QChart* chart, const QString& title) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter pdf(&buffer);
    pdf.setTitle(title);
    pdf.setPageSize(QPageSize(QPageSize::Letter));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setResolution(300);
    QPainter painter(&pdf);
    const QRectF page(0, 0, pdf.width(), pdf.height());
    const qreal scale = std::min(page.width() / kFileWidth, page.height() / kFileHeight);
    Paint(chart, painter, QRectF(0, 0, kFileWidth * scale, kFileHeight * scale));
  }
  return bytes;
}

}  // namespace

QChart* BuildQtChart(const ChartData& data) {
  auto* chart = new QChart;
  chart->setTitle(Latin1(data.title));
  QFont title_font = chart->titleFont();
  title_font.setBold(true);
  title_font.setPointSizeF(title_font.pointSizeF() * 1.2);
  chart->setTitleFont(title_font);
  chart->legend()->setAlignment(Qt::AlignBottom);
  chart->setBackgroundBrush(Qt::white);

  QCategoryAxis* x = MakeAxis(data.x);
  QCategoryAxis* y = MakeAxis(data.y);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);

  if (data.band) AddBand(chart, *data.band, data.x, x, y);
  for (const ChartSeries& series : data.series) AddSeries(chart, series, x, y);
  if (data.HasFailedPoints()) AddFailedPoints(chart, data, x, y);
  for (const std::string& note : data.notes) AddNote(chart, note, x, y);
  return chart;
}

void WriteChartFile(const ChartData& data, const std::string& host_path, ChartFileFormat format) {
  const std::unique_ptr<QChart> chart(BuildQtChart(data));
  const QString title = Latin1(data.title);
  QByteArray bytes;
  switch (format) {
    case ChartFileFormat::Png: bytes = PngBytes(chart.get()); break;
    case ChartFileFormat::Svg: bytes = SvgBytes(chart.get(), title); break;
    case ChartFileFormat::Pdf: bytes = PdfBytes(chart.get(), title); break;
  }
  BinaryFile::ReplaceWholeFile(host_path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

}  // namespace veld
