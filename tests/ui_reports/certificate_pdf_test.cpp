#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/file_error.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"
#include "ui/certificate_printing.h"

namespace veld {
namespace {

// Three points from first_pressure in steps of 10 psi; point i reads 4 + i mA, off by 0.125 i %FS.
TestResults MakeResult(bool as_found, double first_pressure) {
  TestResults result;
  result.AsFound = as_found;
  result.Uut.ID = "PT-1001";
  result.Uut.InputUnits = "psi";
  result.Profile.NumberOfPoints = 3;
  result.DateTimeTested = OleDateTime(2011, 3, 7, 9, 5, 0);
  for (auto* column : {&result.PointNumberText, &result.TargetPressureText, &result.ActualPressureText,
                       &result.TargetOutputText, &result.ActualOutputText, &result.ErrorText, &result.PassFailText}) {
    column->assign(3, "P");
  }
  result.ActualPressure = {first_pressure, first_pressure + 10, first_pressure + 20};
  result.ActualOutput = {4.0, 5.0, 6.0};
  result.ErrorFS = {0.0, 0.125, 0.25};
  result.ModuleSerialNumber = "ZX-77";
  result.CalibratorCalDate = OleDateTime(2011, 3, 7, 0, 0, 0);
  return result;
}

using CertificatePdfTest = test::TempRootTest;

TEST_F(CertificatePdfTest, PrintsTheWholePageOnOnePage) {
  const std::string path = temp_.root() + "/certificate.pdf";
  test::RecordingPrompter prompter;
  EXPECT_EQ(WriteCertificatePdf(path, MakeResult(true, 0.0), MakeResult(false, 55.0), 2.0, prompter), 45);
  EXPECT_TRUE(prompter.entries.empty());
  ASSERT_EQ(std::system(("pdftotext -enc Latin1 '" + path + "' '" + path + ".txt'").c_str()), 0);
  const std::string text = test::ReadBytes(path + ".txt");
  for (const char* expected :
       {"CALIBRATION CERTIFICATE", "Approved By:", "03/07/2011 09:05", "PT-1001", "-0.125 to 0.125 psi",
        "CALIBRATION DATA", "AS FOUND", "AS LEFT", "(psi)", "20.0000", "75.0000", "0.250", "ZEXO serial number: ZX-77",
        "VELD calibration date: 03/07/2011"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << "missing: " << expected << "\n" << text;
  }
  EXPECT_EQ(text.find('\f'), text.size() - 1);  // one page only
  EXPECT_THROW(WriteCertificatePdf(temp_.root() + "/missing/c.pdf", MakeResult(true, 0), MakeResult(true, 0), 1.0,
                                   prompter),
               FileError);
}

}  // namespace
}  // namespace veld
