#include "reports/page_grid.h"

#include <climits>
#include <cmath>

namespace veld {
namespace {

// Truncates towards zero; a row far below the page (a count read from a damaged file)
// saturates rather than overflowing.
int TruncToPixel(double value) {
  if (!(value > INT_MIN)) return INT_MIN;
  if (!(value < INT_MAX)) return INT_MAX;
  return static_cast<int>(value);
}

// The row height is worked out in single precision and truncated, as it always was,
// so that every row lands on the same pixel as before.
int RowHeightOf(const PageMetrics& metrics) {
  const float inches = static_cast<float>(metrics.vert_size_mm) / 25.4f;
  const float row = static_cast<float>(metrics.log_pixels_y) * inches / static_cast<float>(PageGrid::kRows);
  return TruncToPixel(row);
}

}  // namespace

PageGrid::PageGrid(const PageMetrics& metrics)
    : row_height_(RowHeightOf(metrics)), column_width_(metrics.horz_res / kColumns) {}

PixelRect PageGrid::Rect(double x, double y, double w, double h) const {
  const double width = column_width_;
  const double height = row_height_;
  return PixelRect{TruncToPixel(width * x), TruncToPixel(height * y), TruncToPixel(width * (x + w)),
                   TruncToPixel(height * (y + h) - 1.0)};
}

}  // namespace veld
