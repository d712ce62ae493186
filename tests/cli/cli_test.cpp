// veldane-cli as a user runs it: every command in a child process, on a temporary root
// and a demo calibrator volume, with its exit status and exact output.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <regex>

#include "cli_fixture.h"
#include "reports/chart_data.h"
#include "support/german_locale.h"
#include "support/result_file_writer.h"

namespace veld {
namespace {
namespace fs = std::filesystem;

constexpr const char* kConnectFailed =
    "Unable to connect to VELD.  Please verify that device is connected through ActiveSync.\n";
constexpr const char* kConnectStatus =
    "Uploading Unit Under Test database from VELD.\nUnit Under Test database uploaded from VELD.\n"
    "Uploading Test Profile database from VELD.\nTest Profile database uploaded from VELD.\n"
    "Uploading Test Results data files from VELD.\nAll data uploaded from VELD.\n";
constexpr const char* kBuiltInUUTs = "73950R5WB2DQ8C\n7395R25WB2DQ8C\n";
// Every demo UUT has results.
constexpr const char* kDemoUUTs = "DG-3001\nPS-4001\nPT-1001\nPT-1002\nTX-2001\nTX-2002\n";
// The demo calibrator's UUT table holds them and the kPa UUT PT-5001, which has none.
constexpr const char* kDemoTableUUTs = "DG-3001\nPS-4001\nPT-1001\nPT-1002\nPT-5001\nTX-2001\nTX-2002\n";

// One run of the tool: its arguments, exit status and exact stdout and stderr, where
// "{root}" stands for the temporary root.
struct Call {
  std::vector<std::string> args;
  int status;
  std::string out, err;
};

enum class Device { None, Demo, Connected, Unplugged };

class CliTest : public test::CliFixture {
 protected:
  std::string Expand(std::string text) const {
    for (size_t at; (at = text.find("{root}")) != std::string::npos;) text.replace(at, 6, temp_.root());
    return text;
  }
  void Expect(Call call, const std::string& input = "") {
    for (std::string& arg : call.args) arg = Expand(arg);
    SCOPED_TRACE(::testing::PrintToString(call.args));
    const test::ProcessResult result = Cli(call.args, input);
    EXPECT_EQ(result.exit_status, call.status);
    EXPECT_EQ(result.out, Expand(call.out));
    EXPECT_EQ(result.err, Expand(call.err));
  }
  void Prepare(Device device) {
    if (device == Device::Unplugged) setenv("VELD_DEVICE", Root("no-device").c_str(), 1);
    if (device != Device::Demo && device != Device::Connected) return;
    MakeDemoVolume();
    if (device == Device::Connected) Expect({{"connect"}, 0, kConnectStatus, ""});
  }
  std::string Results(const std::string& name) const { return Root("VELD/PC/TestResults/" + name); }
};

// Calls in order on a fresh root: each command on a normal case and on a failure.
struct Scenario {
  const char* name;
  Device device;
  std::vector<Call> calls;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

class CliScenarioTest : public CliTest, public ::testing::WithParamInterface<Scenario> {};

TEST_P(CliScenarioTest, PrintsExactlyAndExitsWithItsStatus) {
  Prepare(GetParam().device);
  for (const Call& call : GetParam().calls) Expect(call);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliScenarioTest,
    ::testing::Values(
        Scenario{"Fresh", Device::None,
                 {{{"init"}, 0, "", ""},
                  {{"uuts"}, 0, kBuiltInUUTs, ""},
                  {{"uuts", "--veld"}, 1, "", "{root}/VELD/VELD/UUT/UUTTable_PPCBK.dat was not found.\n"},
                  {{"decode", "XYZ"}, 1, "", "Incomplete Korvo Smart Part Numer\n"},
                  {{"delete", "uut", "7395R25WB2DQ8C"}, 1, "",
                   "You are about to delete a Unit Under Test profile from the PC database.  Are you sure you want "
                   "to do this?\n"},
                  {{"uuts"}, 0, kBuiltInUUTs, ""},  // without --yes the answer was No
                  {{"--yes", "delete", "profile", "NOPE"}, 1, "", "No test profile \"NOPE\" in the PC database.\n"},
                  {{"transfer", "uut", "to-veld", "NOPE"}, 1, "", "No UUT profile \"NOPE\" in the PC database.\n"},
                  {{"results", "NOPE"}, 0, "", ""},
                  {{"export", "NOPE_0001.DAT"}, 1, "", "NOPE_0001.DAT was not found.\n"}}},
        Scenario{"Unplugged", Device::Unplugged,
                 {{{"connect"}, 1, "", kConnectFailed},
                  {{"refresh"}, 1, "", kConnectFailed},
                  {{"download", "uut"}, 1, "", kConnectFailed},
                  {{"results"}, 0, "", ""}}},
        Scenario{"Demo", Device::Demo, {{{"refresh"}, 0, kDemoUUTs, ""}, {{"results"}, 0, kDemoUUTs, ""}}},
        Scenario{
            "Connected", Device::Connected,
            {{{"uuts", "--veld"}, 0, std::string(kBuiltInUUTs) + kDemoTableUUTs, ""},
             {{"profiles", "--veld"}, 0,
              "11pointtest\n21pointtest\n3pointtest\n5pointtest\n6pointtest\n7pointtest\nBoth-Leak\nCustom-4\n", ""},
             {{"uut", "TX-2002"}, 1, "", "No UUT profile \"TX-2002\" in the PC database.\n"},
             // "Both" over 7 points: 0, 1/3, 2/3, 1, 2/3, 1/3, 0 of -250 to 250 Pa and 4 to 20 mA.
             {{"profile", "Both-Leak", "--veld", "--uut", "PT-1001"}, 0,
              "Test Profile ID:\t\tBoth-Leak\nProfile Type:\t\tBoth\nNumber Of Test Points:\t7\n"
              "Perform Leak Test?:\tYES\n  1\t0.00\t-250.0\t4.000\n  2\t33.33\t-83.3\t9.333\n"
              "  3\t66.67\t83.3\t14.667\n  4\t100.00\t250.0\t20.000\n  5\t66.67\t83.3\t14.667\n"
              "  6\t33.33\t-83.3\t9.333\n  7\t0.00\t-250.0\t4.000\n  L\t\t0.00030\t\n",
              ""},
             {{"profile", "Both-Leak"}, 1, "", "No test profile \"Both-Leak\" in the PC database.\n"},
             {{"profile", "Both-Leak", "--veld", "--uut", "NOPE"}, 1, "",
              "No UUT profile \"NOPE\" in the VELD database.\n"},
             {{"transfer", "uut", "to-pc", "TX-2002", "PT-1001"}, 0, "", ""},
             {{"uuts"}, 0, std::string(kBuiltInUUTs) + "PT-1001\nTX-2002\n", ""},
             {{"--yes", "delete", "uut", "PT-1001", "--veld"}, 0, "", ""},
             {{"uuts", "--veld"}, 0,
              std::string(kBuiltInUUTs) + "DG-3001\nPS-4001\nPT-1002\nPT-5001\nTX-2001\nTX-2002\n", ""},
             {{"download", "uut"}, 0, "", ""},
             {{"results", "TX-2001"}, 0,
              "06/17/2024 13:15:00\tAs Found\tFail\tTX-2001_0001.DAT\n"
              "06/18/2024 10:05:00\tAs Left\tPass\tTX-2001_0002.DAT\n",
              ""},
             {{"export", "PT-1001_0001.DAT"}, 0, "{root}/VELD/PC/TestResults/PT-1001_0001.csv\n", ""},
             {{"export", "PT-1001_0001.DAT"}, 1, "",
              "{root}/VELD/PC/TestResults/PT-1001_0001.csv already exists.\nDo you want to replace it?\n"},
             {{"export", "{root}/VELD/PC/TestResults/PT-1001_0002.DAT", "-o", "{root}/b.csv"}, 0, "{root}/b.csv\n", ""},
             {{"certificate", "PT-1001_0001.DAT", "TX-2001_0001.DAT", "-o", "{root}/x.pdf"}, 1, "",
              "Test Results selected for printing are both As Found\nCannot collate into a valid report!\n"},
             {{"export", "{root}/x.pdf"}, 1, "", "{root}/x.pdf was not found.\n"}}}),  // nothing printed
    [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

TEST_F(CliTest, UsageErrorsExit2BeforeStartingUpAndHelpDescribesEveryCommand) {
  for (const auto& [args, problem] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{}, "no command given"},
           {{"uut"}, "missing arguments for uut\nusage: veldane-cli [--yes] uut ID [--veld]"},
           {{"about", "x"}, "too many arguments for about\nusage: veldane-cli [--yes] about"},
           {{"transfer", "uut", "sideways", "A"}, "transfer needs to-veld|to-pc, not \"sideways\""},
           {{"certificate", "A.DAT"}, "certificate needs -o OUT.pdf"},
           {{"export", ""}, "export needs a file name, not \"\""},
           {{"export", "A.DAT", "-o", "out/.."}, "export needs a file name, not \"out/..\""},
           {{"certificate", "A.DAT", "dir/", "-o", "x.pdf"}, "certificate needs a file name, not \"dir/\""},
           {{"certificate", "A.DAT", "-o", ""}, "certificate needs a file name, not \"\""},
           // Folders, not file names.
           {{"export", "..", "-o", "x.csv"}, "export needs a file name, not \"..\""},
           {{"export", ".", "-o", "x.csv"}, "export needs a file name, not \".\""},
           {{"certificate", "..", "-o", "x.pdf"}, "certificate needs a file name, not \"..\""},
           {{"certificate", ".", "-o", "x.pdf"}, "certificate needs a file name, not \".\""},
           {{"certificate", "A.DAT", "-o", "x.pdf", "--paper", "b5"}, "--paper takes a4 or letter, not \"b5\""},
           {{"lab-header", "--clear", "--name", "X"}, "--clear stands alone"},
           {{"chart", "A.DAT", "-o", "x.jpg"}, "A chart is written as a .png, .svg or .pdf file."},
           {{"chart", "A.DAT"}, "chart needs -o OUT.png|svg|pdf"},
           {{"due", "--within", "-1"}, "--within needs a number of days from 0 to 36500"},
           {{"due", "--within", "1e3"}, "--within needs a number of days from 0 to 36500"},
           {{"due", "--within", "36501"}, "--within needs a number of days from 0 to 36500"},
           {{"due", "--within"}, "--within needs a number of days from 0 to 36500"},
           {{"uuts", "--within", "3"}, "--within does not apply to uuts"}}) {
    Expect({args, 2, "", "veldane-cli: " + problem + "\nTry 'veldane-cli --help'.\n"});
  }
  EXPECT_FALSE(fs::exists(Root("VELD"))) << "a usage error must not create the folder tree";
  EXPECT_TRUE(Cli({"--help"}).out.starts_with("usage: veldane-cli [--yes] COMMAND [ARGS]\n"));
  EXPECT_TRUE(Cli({"export", "--help"}).out.starts_with("usage: veldane-cli [--yes] export FILE [-o OUT]\n\n"));
}

// The texts are the core's; here they reach the terminal with plain line ends.
TEST_F(CliTest, SettingsAboutAndDecodePrintTheirTextsAndTheLockOutExits3) {
  const std::string settings = Cli({"settings"}).out;
  EXPECT_EQ(std::count(settings.begin(), settings.end(), '\n'), 33);
  EXPECT_NE(settings.find("\n=false\n"), std::string::npos);  // the empty key
  EXPECT_NE(settings.find("\nLockDownAttemptLimit=00000000000000000000000000000003\n"), std::string::npos);
  const std::string about = Cli({"about"}).out;
  EXPECT_TRUE(about.starts_with("Revision:\tRevision Change Description:\n\n3.04\t\t"));
  const std::string decoded = Cli({"decode", "7395r25wb2dq8c"}).out;
  EXPECT_TRUE(decoded.starts_with("UUT ID:\t\t7395R25WB2DQ8C\nUUT Serial Number:\t\n")) << decoded;
  EXPECT_NE(decoded.find("\nInputRange:\t\t-0.250 to 0.250 (inWC)\n"), std::string::npos) << decoded;
  EXPECT_EQ((settings + about + decoded).find('\r'), std::string::npos);
  PCSetting("LockedOut", "true");
  for (const char* command : {"init", "about", "uuts"}) Expect({{command}, 3, "", "System is locked out.\n"});
}

TEST_F(CliTest, TransfersCopyRecordsAsTheyAreAndARefusedChangeExits1) {
  Prepare(Device::Connected);
  Expect({{"transfer", "uut", "to-pc", "TX-2002"}, 0, "", ""});
  EXPECT_EQ(Cli({"uut", "TX-2002"}).out, Cli({"uut", "TX-2002", "--veld"}).out);
  // Deleting a custom profile removes its points file as well.
  Expect({{"delete", "profile", "Custom-4", "--veld", "--yes"}, 0, "", ""});
  EXPECT_FALSE(fs::exists(Root("VELD/VELD/TestProfile/Custom-4_Custom.DAT")));
  EXPECT_EQ(fs::file_size(temp_.device() + "/Mounted_Volume/VELD/TestProfile/TestProfileTable.DAT"), 7 * 144u);
  // A table reported corrupted refuses the change: nothing changes, and the command fails.
  const std::string pc_table = Root("VELD/PC/UUT/UUTTable.dat");
  const std::string whole = test::ReadBytes(pc_table);
  test::WriteBytes(pc_table, whole + "stray");
  const std::string corrupted = "UUT table corrupted!!\n" + pc_table + "\n";
  Expect({{"transfer", "uut", "to-pc", "PT-1001"}, 1, "", corrupted + corrupted});  // at start-up, then the save
  EXPECT_EQ(test::ReadBytes(pc_table), whole + "stray");
}

TEST_F(CliTest, ExportReplacesAFileOnlyWithYesAndResultsThatGiveNothingOrEndEarlyAreRefused) {
  test::WriteResultFile(Results("PT-1001_0001.DAT"), test::DefaultResultFileDescription());
  const std::string csv = Results("PT-1001_0001.csv");
  test::WriteBytes(csv, "keep");
  Expect({{"export", "PT-1001_0001.DAT"}, 1, "", csv + " already exists.\nDo you want to replace it?\n"});
  EXPECT_EQ(test::ReadBytes(csv), "keep");
  Expect({{"--yes", "export", "PT-1001_0001.DAT"}, 0, csv + "\n", ""});
  EXPECT_NE(test::ReadBytes(csv).find("\r\nPT-1001,6/14/2024 10:32:5,As Found,Passed\r\n"), std::string::npos);
  // Under 4 bytes nothing is read: no default record is exported, printed or listed as a pass.
  test::WriteBytes(Results("PT-1001_0002.DAT"), "abc");
  const std::string nothing_read = "No test result could be read from " + Results("PT-1001_0002.DAT") + ".\n";
  Expect({{"--yes", "export", "PT-1001_0002.DAT"}, 1, "", nothing_read});
  Expect({{"--yes", "certificate", "PT-1001_0002.DAT", "-o", Root("x.pdf")}, 1, "", nothing_read});
  EXPECT_FALSE(fs::exists(Results("PT-1001_0002.csv")) || fs::exists(Root("x.pdf")));
  Expect({{"results", "PT-1001"}, 0,
          "06/14/2024 10:32:05\tAs Found\tPass\tPT-1001_0001.DAT\n\t\tUnreadable\tPT-1001_0002.DAT\n", ""});
  test::WriteBytes(Results("AAA_0001.DAT"), std::string(100, '\0'));
  Expect({{"results"}, 1, "", "An attempt was made to access " + Results("AAA_0001.DAT") + " past its end.\n"});
}

// The messages of a failed copy are the synchronisation tests'; here the exit statuses.
TEST_F(CliTest, ACommandDuringWhichACopyFailedExits1AndConnectSaysHowManyFiles) {
  Prepare(Device::Connected);
  fs::remove_all(temp_.device() + "/Mounted_Volume/VELD/UUT");
  EXPECT_EQ(Cli({"download", "uut"}).exit_status, 1);
  std::string status = kConnectStatus;
  status.replace(status.find("All data uploaded"), std::string::npos, "1 file could not be copied from VELD.\n");
  const test::ProcessResult connect = Cli({"connect"});
  EXPECT_EQ(std::tuple(connect.exit_status, connect.out), std::tuple(1, status));
  test::WriteResultFile(temp_.device() + "/Mounted_Volume/VELD/TestResults/DAT/NEW_0001.DAT",
                        test::DefaultResultFileDescription());
  setenv("VELD_RAPI_FAIL_READ_AT", "1", 1);
  EXPECT_EQ(Cli({"refresh"}).exit_status, 1);
  unsetenv("VELD_RAPI_FAIL_READ_AT");
}

// A result name resolves inside the results folder however it is spelled, and texts that
// came from the calibrator reach the terminal with their control characters made visible.
TEST_F(CliTest, NamesStayInTheResultsFolderAndStoredControlCharactersShowAsEscapes) {
  test::WriteResultFile(Root("outside/PT-1001_0001.DAT"), test::DefaultResultFileDescription());
  Expect({{"init"}, 0, "", ""});
  const std::string backslashes = "..\\..\\..\\outside\\PT-1001_0001.DAT";
  Expect({{"export", backslashes, "-o", "{root}/x.csv"}, 1, "", backslashes + " was not found.\n"});
  Expect({{"certificate", backslashes, "-o", "{root}/x.pdf"}, 1, "", backslashes + " was not found.\n"});
  EXPECT_FALSE(fs::exists(Root("x.csv")) || fs::exists(Root("x.pdf")));

  const std::string id = "PT\x1B]0;owned\x07";
  test::ResultFileDescription result = test::DefaultResultFileDescription();
  result.uut.ID = id;
  test::WriteResultFile(Results(id + "_0001.DAT"), result);
  Expect({{"results"}, 0, "PT\\x1B]0;owned\\x07\n", ""});
  Expect({{"results", id}, 0, "06/14/2024 10:32:05\tAs Found\tPass\tPT\\x1B]0;owned\\x07_0001.DAT\n", ""});
  UUT uut;
  uut.ID = "\x1B[2JX";
  uut.SerialNumber = "\x9B" "31m\tSN\r\n";
  SavePCUUTs({uut});
  Expect({{"uuts"}, 0, std::string("\\x1B[2JX\n") + kBuiltInUUTs, ""});
  const std::string panel = Cli({"uut", "\x1B[2JX"}).out;
  EXPECT_TRUE(panel.starts_with("UUT ID:\t\t\\x1B[2JX\nUUT Serial Number:\t\\x9B31m\\x09SN\\x0D\\x0A\n")) << panel;
  PCSetting("Evil\x1B[2J", "\x7F");
  EXPECT_NE(Cli({"settings"}).out.find("\nEvil\\x1B[2J=\\x7F\n"), std::string::npos);
  Expect({{"export", "\x1B[2J.DAT"}, 1, "", "\\x1B[2J.DAT was not found.\n"});
}

// The lines of a text with runs of blanks made one, blank lines and the end of each line
// dropped: what pdftotext -layout shows of a page, without the spacing it works out.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (const char c : text + "\n") {
    if (c == '\n' || c == '\f') {
      while (!line.empty() && line.back() == ' ') line.pop_back();
      if (!line.empty()) lines.push_back(line);
      line.clear();
    } else if (c != ' ' || (!line.empty() && line.back() != ' ')) {
      line += c;
    }
  }
  return lines;
}

TEST_F(CliTest, CertificateOfAPairCarriesTheValuesOfBothResultFiles) {
  Prepare(Device::Connected);
  const std::string pdf = Root("PT-1001.pdf");
  // The As Left row first: collation orders the pair by kind, not by row.
  Expect({{"certificate", "PT-1001_0002.DAT", "PT-1001_0001.DAT", "-o", pdf, "--paper", "letter"}, 0, pdf + "\n", ""});
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
  // Without a laboratory header the page says what it said before the header, the number
  // and the As Left time came, word for word: the values of both files (As Found points 1
  // and 3 read 4 mA + 0.013 %FS and 12 mA - 0.008 %FS, As Left points 1 and 5 4 mA + 0.004
  // %FS and 20 mA - 0.003 %FS), in their places.
  std::vector<std::string> lines = Words(test::ReadBytes(pdf + ".txt"));
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(lines[0], "CALIBRATION CERTIFICATE Certificate No. 000001");
  lines[0] = "CALIBRATION CERTIFICATE";
  EXPECT_EQ(lines[3], "Date Time Tested: 06/14/2024 08:00 As Left Tested: 06/14/2024 09:30");
  lines[3] = "Date Time Tested: 06/14/2024 08:00";
  EXPECT_EQ(lines, Words(test::ReadBytes(VELD_TEST_SOURCE_DIR "/cli/golden/PT-1001_certificate_layout.txt")));
  fs::copy_file(Results("PT-1001_0001.DAT"), Root("PT-1001_0001.DAT"));
  Expect({{"certificate", Root("PT-1001_0001.DAT"), "-o", pdf}, 1, "",
          Root("PT-1001_0001.DAT is not in the results folder ") + Root("VELD/PC/TestResults.\n")});
}

TEST_F(CliTest, TheLabHeaderAndANewNumberGoOnEveryCertificateOnThePaperAskedFor) {
  Prepare(Device::Connected);
  // Any PNG makes a logo: a chart's does.
  Expect({{"chart", "PT-1001_0001.DAT", "-o", Root("logo.png")}, 0, Root("logo.png") + "\n", ""});
  test::WriteBytes(Root("logo.txt"), "text");
  // UTF-8 from the terminal is stored as the certificate's Latin-1.
  Expect({{"lab-header", "--name", "Pr\xC3\xBC" "flabor", "--address", "1 Gauge Road", "--address", "Springfield",
           "--accreditation", "ISO/IEC 17025", "--logo", Root("logo.png")},
          0, "", ""});
  // A euro sign has no Latin-1 form; the refusals' texts are the settings store's.
  EXPECT_EQ(Cli({"lab-header", "--name", "\xE2\x82\xAC", "--logo", Root("logo.txt")}).exit_status, 1);
  Expect({{"lab-header"}, 0,
          "name=Pr\xC3\xBC" "flabor\naddress=1 Gauge Road\naddress=Springfield\naccreditation=ISO/IEC 17025\n"
          "logo={root}/VELD/PC/System/LabLogo.png\nlast-certificate-number=0\n",
          ""});
  // The paper from --paper, else from the locale.
  for (const auto& [name, locale, paper, number, size] :
       {std::tuple{"a.pdf", "de_DE.UTF-8", "", "000001", "(A4)"}, {"b.pdf", "en_US.UTF-8", "", "000002", "(letter)"},
        {"c.pdf", "en_US.UTF-8", "a4", "000003", "(A4)"}}) {
    const std::string pdf = Root(name);
    std::vector<std::string> args = {"certificate", "PT-1001_0001.DAT", "PT-1001_0002.DAT", "-o", pdf};
    if (*paper) args.insert(args.end(), {"--paper", paper});
    setenv("LC_PAPER", locale, 1);
    Expect({args, 0, pdf + "\n", ""});
    unsetenv("LC_PAPER");
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt' && pdfinfo '" + pdf + "' > '" + pdf +
                           ".info'").c_str()),
              0);
    const std::string text = test::ReadBytes(pdf + ".txt");
    for (const std::string& expected : {std::string("Pr\xC3\xBC" "flabor"), "Certificate No. " + std::string(number)}) {
      EXPECT_NE(text.find(expected), std::string::npos) << name << ": " << expected;
    }
    EXPECT_NE(test::ReadBytes(pdf + ".info").find(size), std::string::npos) << name;
  }
  Expect({{"lab-header", "--clear"}, 0, "", ""});
  Expect({{"lab-header"}, 0, "name=\nlogo=\nlast-certificate-number=3\n", ""});
  EXPECT_FALSE(fs::exists(Root("VELD/PC/System/LabLogo.png")));
}

TEST_F(CliTest, UUTsGoToCsvAndAnImportIsTriedDryBeforeItReachesTheCalibrator) {
  Prepare(Device::Connected);
  const std::string mirror_path = Root("VELD/VELD/UUT/UUTTable_PPCBK.dat");
  const std::string mirror = test::ReadBytes(mirror_path);
  const test::ProcessResult exported = Cli({"uuts", "--csv", "--veld"});
  ASSERT_EQ(exported.exit_status, 0);
  EXPECT_TRUE(exported.out.starts_with("ID,SerialNumber,PartNumber,Model,Manufacturer,OutputType,Excitation,"));
  EXPECT_EQ(std::count(exported.out.begin(), exported.out.end(), '\n'), 10);  // the heading and 9 UUTs
  test::WriteBytes(Root("new.csv"),
                   exported.out + "NEW-1,,,,,3WIR,24,psi,0,100,VDC,0,5,0.25,0.5,5000,64,0.001,0.0001,3pointtest\r\n");
  Expect({{"import-uuts", Root("new.csv"), "--veld", "--dry-run"}, 0,
          "create\tNEW-1\n1 would be created, 0 updated, 9 unchanged in the VELD database (dry run: nothing written).\n", ""});
  EXPECT_TRUE(test::ReadBytes(mirror_path) == mirror);
  Expect({{"import-uuts", Root("new.csv"), "--veld"}, 0, "created\tNEW-1\n1 created, 0 updated, 9 unchanged in the VELD database.\n", ""});
  EXPECT_TRUE(test::ReadBytes(temp_.device() + "/Mounted_Volume/VELD/UUT/UUTTable.DAT") == test::ReadBytes(mirror_path));
  test::WriteBytes(Root("bad.csv"), "ID,Colour\r\nNEW-2,red\r\n");
  Expect({{"import-uuts", Root("bad.csv")}, 1, "", "Nothing was imported: 1 line cannot be imported.\nLine 1: unknown column \"Colour\".\n"});
}

// Qt sets the C library's locale from the environment when the tool prints.
TEST_F(CliTest, CertificateKeepsTheDecimalPointUnderALocaleWithDecimalCommas) {
  const test::LocaleAvailability german = test::MakeGermanLocaleAvailable();
  if (!german.available) GTEST_SKIP() << "SKIPPED: no " << test::kGermanLocale << " locale: " << german.why_not;
  Prepare(Device::Connected);
  environment_ = {std::string("LC_ALL=") + test::kGermanLocale};
  if (!german.locpath.empty()) environment_.push_back("LOCPATH=" + german.locpath);
  const std::string pdf = Root("PT-1001.pdf");
  Expect({{"certificate", "PT-1001_0001.DAT", "PT-1001_0002.DAT", "-o", pdf}, 0, pdf + "\n", ""});
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
  const std::string text = test::ReadBytes(pdf + ".txt");
  for (const char* value : {"4.0021", "11.9987", "-250.0000", "%FS"}) {
    EXPECT_NE(text.find(value), std::string::npos) << value;
  }
  EXPECT_FALSE(std::regex_search(text, std::regex("[0-9],[0-9]"))) << text;
}

TEST_F(CliTest, ProtectedPrintingReadsTheOperatorFromStdinAndALockDownExits3) {
  Prepare(Device::Connected);
  ProtectPrinting();
  PCSetting("LockDownAttemptLimit", "1");
  const std::string pdf = Root("protected.pdf");
  const auto print = [&](const std::string& typed, int status, const std::string& err = "") {
    Expect({{"--yes", "certificate", "PT-1001_0001.DAT", "PT-1001_0002.DAT", "-o", pdf}, status,
            status == 0 ? pdf + "\n" : "", err},
           typed);
  };
  print("", 1);
  print("Chief\nADM001\n", 1);  // input ends before the password: a cancel
  EXPECT_FALSE(fs::exists(pdf));
  print("Chief\r\nADM001\r\ncalib8\r\n", 0);
  fs::remove(pdf);
  print("Chief\nADM001\nCALIB8\n", 3,
        "System is being locked down due to 1 failed password entry attempts.\n"
        "Please see system administrator for unlock.\n");
  EXPECT_FALSE(fs::exists(pdf));
  Expect({{"init"}, 3, "", "System is locked out.\n"});
}

// The chart's pairing and its files are the report tests'; here the command's arguments,
// its refusals and the history printed.
TEST_F(CliTest, ChartAndHistoryWriteTheFormatOfTheirExtension) {
  Prepare(Device::Connected);
  const std::string png = Root("pair.png");
  Expect({{"chart", "PT-1001_0002.DAT", "PT-1001_0001.DAT", "-o", png}, 0, png + "\n", ""});
  EXPECT_EQ(test::ReadBytes(png).substr(0, 4), "\x89PNG");
  Expect({{"chart", "PT-1001_0001.DAT", "-o", png}, 1, "", png + " already exists.\nDo you want to replace it?\n"});
  Expect({{"chart", "PT-1001_0001.DAT", "TX-2001_0001.DAT", "-o", Root("x.svg")}, 1, "",
          "Test Results selected for the chart are both As Found\n"});
  // The largest errors of the demo's pair: 0.031 %FS As Found, 0.009 %FS As Left.
  Expect({{"history", "PT-1001"}, 0,
          "06/14/2024 08:00\tAs Found\t0.0310\tPass\tPT-1001_0001.DAT\n"
          "06/14/2024 09:30\tAs Left\t0.0090\tPass\tPT-1001_0002.DAT\n",
          ""});
  const std::string pdf = Root("history.pdf");
  Expect({{"history", "TX-2001", "-o", pdf}, 0, pdf + "\n", ""});
  EXPECT_EQ(test::ReadBytes(pdf).substr(0, 4), "%PDF");
}

// The order is the due date list's own test; here the lines, --within and its bounds.
TEST_F(CliTest, DueListsTheUUTsAsOfTheLocalDateWithinTheDaysAsked) {
  const double today = std::floor(OleDateTime::Now().Value());
  const OleDateTime soon(today + 10.5);
  UUT uut;
  uut.ID = "SOON";
  uut.CalibrationDueDate = soon;
  SavePCUUTs({uut});
  const std::string unset = "not set\t\t\t73950R5WB2DQ8C\nnot set\t\t\t7395R25WB2DQ8C\n";
  Expect({{"due", "--within", "9"}, 0, CertificateDateText(soon) + "\t\t10\tSOON\n" + unset, ""});
  Expect({{"due"}, 0, CertificateDateText(soon) + "\tDue soon\t10\tSOON\n" + unset, ""});
  Expect({{"due", "--veld"}, 0, "", ""});  // no mirror before the first upload
  if (std::floor(OleDateTime::Now().Value()) != today) GTEST_SKIP() << "the day changed while the tool ran";
}

}  // namespace
}  // namespace veld
