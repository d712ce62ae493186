#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/file_error.h"
#include "support/temp_root.h"
#include "ui/chart_rendering.h"

namespace veld {
namespace {

// A chart with every element: a band, two series, a failed point and a note.
ChartData EveryElement() {
  ChartData chart;
  chart.title = "UUT M\xfcller | As Found 06/14/2024 08:00: Fail";
  chart.x = NumberAxis("Nominal (%FS)", 0.0, 100.0, 10);
  chart.y = NumberAxis("Error (%FS)", -0.5, 0.5);
  chart.series.push_back({"As Found (ascending)", SeriesRole::AsFound, LineStyle::Solid, MarkerShape::Circle,
                          {{0, 0.1, false}, {50, 0.4, true}}});
  chart.series.push_back({"As Found (descending)", SeriesRole::AsFound, LineStyle::Dashed, MarkerShape::Square,
                          {{100, 0.2, false}, {50, -0.1, false}}});
  chart.band = ChartBand{"Accuracy \xb1" "0.25 %FS", -0.25, 0.25};
  chart.notes.push_back("As Left: 3 of 3 points not charted (error not a finite number)");
  return chart;
}

struct FormatCase {
  const char* file;
  ChartFileFormat format;
  std::string signature;
};

class ChartFileTest : public test::TempRootTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(ChartFileTest, TheSameChartGoesIntoEachFormat) {
  const std::string path = temp_.root() + "/" + GetParam().file;
  ASSERT_EQ(ChartFileFormatOf(path), GetParam().format);
  WriteChartFile(EveryElement(), path, GetParam().format);
  const std::string bytes = test::ReadBytes(path);
  EXPECT_GT(bytes.size(), 1000u);
  EXPECT_NE(bytes.substr(0, 64).find(GetParam().signature), std::string::npos);
  if (GetParam().format == ChartFileFormat::Pdf) {
    ASSERT_EQ(std::system(("pdftotext -enc Latin1 '" + path + "' '" + path + ".txt'").c_str()), 0);
    const std::string text = test::ReadBytes(path + ".txt");
    for (const char* expected : {"UUT M\xfcller", "Accuracy \xb1" "0.25 %FS", "Failed point", "not charted", "100"}) {
      EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
  }
  EXPECT_THROW(WriteChartFile(EveryElement(), temp_.root() + "/missing/" + GetParam().file, GetParam().format),
               FileError);
}

INSTANTIATE_TEST_SUITE_P(Formats, ChartFileTest,
                         ::testing::Values(FormatCase{"chart.png", ChartFileFormat::Png, "\x89PNG"},
                                           FormatCase{"chart.SVG", ChartFileFormat::Svg, "<?xml"},
                                           FormatCase{"chart.Pdf", ChartFileFormat::Pdf, "%PDF"}),
                         [](const auto& info) { return std::string(info.param.file).substr(6); });

TEST(ChartFileFormatTest, OnlyTheThreeExtensionsAreCharts) {
  for (const char* path : {"chart", "chart.csv", "chart.png/", "dir.png/chart", ".pngx"}) {
    EXPECT_FALSE(ChartFileFormatOf(path)) << path;
  }
}

}  // namespace
}  // namespace veld
