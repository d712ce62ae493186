#include "reports/chart_data.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/format.h"
#include "platform/host_path.h"

namespace veld {
namespace {

// The smallest of 1, 2 and 5 times a power of ten that is at least rough.
double RoundStep(double rough) {
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  for (double multiple : {1.0, 2.0, 5.0, 10.0}) {
    if (multiple * power >= rough * (1.0 - 1e-12)) return multiple * power;
  }
  return 10.0 * power;
}

int DecimalsOf(double step) { return std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9))); }

// Day steps for short ranges, then month steps (12 and more are whole years).
constexpr int kDaySteps[] = {1, 2, 7, 14};
constexpr int kMonthSteps[] = {1, 2, 3, 6, 12, 24, 60, 120, 240, 600, 1200};
constexpr double kDaysPerMonth = 365.2425 / 12.0;

void AddDayTicks(ChartAxis& axis, int step) {
  for (double day = std::ceil(axis.min / step) * step; day <= axis.max; day += step) {
    axis.ticks.push_back({day, CertificateDateText(OleDateTime(day))});
  }
}

void AddMonthTicks(ChartAxis& axis, int step) {
  CalendarTime start;
  if (!OleDateTime(axis.min).GetCalendar(start)) return;
  int index = start.year * 12 + start.month - 1;  // months since year 0
  index = (index + step - 1) / step * step;
  for (;; index += step) {
    const OleDateTime first_of_month(index / 12, index % 12 + 1, 1, 0, 0, 0);
    if (first_of_month.GetStatus() != OleDateTime::valid || first_of_month.Value() > axis.max) break;
    if (first_of_month.Value() >= axis.min) axis.ticks.push_back({first_of_month.Value(), CertificateDateText(first_of_month)});
  }
}

}  // namespace

bool ChartData::HasFailedPoints() const {
  for (const ChartSeries& one : series) {
    for (const ChartPoint& point : one.points) {
      if (point.failed) return true;
    }
  }
  return false;
}

std::optional<ChartFileFormat> ChartFileFormatOf(const std::string& path) {
  const size_t dot = path.find_last_of("./");
  if (dot == std::string::npos || path[dot] != '.') return std::nullopt;
  const std::string extension = path.substr(dot);
  if (EqualsIgnoreCase(extension, ".png")) return ChartFileFormat::Png;
  if (EqualsIgnoreCase(extension, ".svg")) return ChartFileFormat::Svg;
  if (EqualsIgnoreCase(extension, ".pdf")) return ChartFileFormat::Pdf;
  return std::nullopt;
}

ChartAxis NumberAxis(std::string title, double min, double max, int target_count) {
  ChartAxis axis;
  axis.title = std::move(title);
  if (!std::isfinite(min) || !std::isfinite(max)) {
    min = 0.0;
    max = 1.0;
  }
  if (max < min) std::swap(min, max);
  if (max - min <= 1e-12 * std::max(std::fabs(min), std::fabs(max))) {
    const double half = min == 0.0 ? 1.0 : std::fabs(min) * 0.1;
    min -= half;
    max += half;
  }
  const double step = RoundStep((max - min) / std::max(1, target_count));
  const double first = std::floor(min / step + 1e-9);
  const double last = std::ceil(max / step - 1e-9);
  axis.min = first * step;
  axis.max = last * step;
  const int decimals = DecimalsOf(step);
  for (double k = first; k <= last; k += 1.0) {
    const double value = std::fabs(k) < 0.5 ? 0.0 : k * step;  // never "-0.00"
    axis.ticks.push_back({value, Format("%.*f", decimals, value)});
  }
  return axis;
}

ChartAxis DateAxis(std::string title, double first_date, double last_date, int target_count) {
  ChartAxis axis;
  axis.title = std::move(title);
  if (!std::isfinite(first_date) || !std::isfinite(last_date)) return axis;
  if (last_date < first_date) std::swap(first_date, last_date);
  const double pad = std::max(1.0, (last_date - first_date) * 0.05);
  axis.min = first_date - pad;
  axis.max = last_date + pad;
  const double span = axis.max - axis.min;
  for (int step : kDaySteps) {
    if (span / step <= target_count) {
      AddDayTicks(axis, step);
      return axis;
    }
  }
  for (int step : kMonthSteps) {
    if (span / (step * kDaysPerMonth) <= target_count) {
      AddMonthTicks(axis, step);
      return axis;
    }
  }
  return axis;
}

std::string CertificateDateTimeText(const OleDateTime& date) {
  return Format("%2.2d/%2.2d/%4.4d %02i:%02i", date.GetMonth(), date.GetDay(), date.GetYear(), date.GetHour(),
                date.GetMinute());
}

std::string CertificateDateText(const OleDateTime& date) {
  return Format("%02i/%02i/%04i", date.GetMonth(), date.GetDay(), date.GetYear());
}

}  // namespace veld
