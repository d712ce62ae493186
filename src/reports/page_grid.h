#pragma once
// The certificate's page grid: 70 rows down the printable height and 100 columns across
// the printable width. Elements are placed by grid cells; pixel positions follow from
// the row height and column width exactly as the printed layout has always computed them.

#include "reports/certificate_canvas.h"

namespace veld {

class PageGrid {
 public:
  static constexpr int kRows = 70;
  static constexpr int kColumns = 100;

  explicit PageGrid(const PageMetrics& metrics);
  PageGrid(int row_height, int column_width) : row_height_(row_height), column_width_(column_width) {}

  int RowHeight() const { return row_height_; }
  int ColumnWidth() const { return column_width_; }

  // The rectangle of the cells (x, y, w, h). A rule has h = 0, which puts its bottom one
  // pixel above its top.
  PixelRect Rect(double x, double y, double w, double h) const;

 private:
  int row_height_;
  int column_width_;
};

}  // namespace veld
