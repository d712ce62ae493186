// veldane-cli as a user runs it: every command in a child process, on a temporary root
// and a demo calibrator volume, with its exit status and exact output.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "database/database.h"
#include "process.h"
#include "support/recording_prompter.h"
#include "support/result_file_writer.h"
#include "support/temp_root.h"

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

// One run of the tool: its arguments, exit status and exact stdout and stderr, where
// "{root}" stands for the temporary root.
struct Call {
  std::vector<std::string> args;
  int status;
  std::string out, err;
};

enum class Device { None, Demo, Connected, Unplugged };

class CliTest : public test::TempRootTest {
 protected:
  CliTest() {
    fs::create_directories(home_ + "/run");
    fs::permissions(home_ + "/run", fs::perms::owner_all);
  }

  // The child gets a home folder of its own, where Qt and fontconfig keep their caches.
  test::ProcessResult Cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), {"HOME=" + home_, "XDG_CACHE_HOME=" + home_ + "/cache",
                               "XDG_RUNTIME_DIR=" + home_ + "/run", VELDANE_CLI});
    return test::RunProcess("/usr/bin/env", args, input);
  }
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
    ASSERT_EQ(test::RunProcess(VELD_DEMO_VOLUME, {temp_.device()}).exit_status, 0);
    if (device == Device::Connected) Expect({{"connect"}, 0, kConnectStatus, ""});
  }
  std::string Root(const std::string& relative) const { return temp_.root() + "/" + relative; }
  std::string Results(const std::string& name) const { return Root("VELD/PC/TestResults/" + name); }
  std::string PCSetting(const std::string& key, const std::string& value = "") {
    test::RecordingPrompter prompter;
    CDataBaseX pc(prompter);
    pc.SetDevice(0);
    if (!value.empty()) pc.SetSetting(key, value);
    return pc.GetSettingValue(key);
  }

  std::string home_ = temp_.root() + "/../home";
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
                  {{"profiles", "--veld"}, 1, "",
                   "{root}/VELD/VELD/TestProfile/TestProfileTable_PPCBK.dat was not found.\n"},
                  {{"settings", "--veld"}, 1, "", "{root}/VELD/VELD/System/SystemDataTable_PPCBK.dat was not found.\n"},
                  {{"decode", "7395r25wb2dq8c"}, 0,
                   "UUT ID:\t\t7395R25WB2DQ8C\nUUT Serial Number:\t\nUUT Manufacturer:\t\nUUT Model:\t\t\n"
                   "UUT Type:\t\t3WIR\nAccuracy:\t\t1.000 (%FS)\nRe-Cal. Accuracy:\t0.500 (%FS)\n"
                   "InputRange:\t\t-0.250 to 0.250 (inWC)\nOutputRange:\t\t0.050 to 5.050 (VDC)\n"
                   "Settling Time:\t\t 5000 (ms)\nSystem Volume:\t\t64.000 (cu. in.)\nExcitation:\t\t24.0 (VDC)\n"
                   "Req'd Ctrl Stability:\t0.0003 (inWC)\nMax Leak Rate:\t\t0.000100 (inWC/s)\n"
                   "Default Test Profile:\t3pointtest\n",
                   ""},
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
            {{{"uuts", "--veld"}, 0, std::string(kBuiltInUUTs) + kDemoUUTs, ""},
             {{"profiles", "--veld"}, 0,
              "11pointtest\n21pointtest\n3pointtest\n5pointtest\n6pointtest\n7pointtest\nBoth-Leak\nCustom-4\n", ""},
             // -100 to 100 Pa, held as inches of water column (248.642103 Pa each).
             {{"uut", "TX-2002", "--veld"}, 0,
              "UUT ID:\t\tTX-2002\nUUT Serial Number:\t\nUUT Manufacturer:\t\nUUT Model:\t\t\nUUT Type:\t\t4WIR\n"
              "Accuracy:\t\t0.500 (%FS)\nRe-Cal. Accuracy:\t0.250 (%FS)\nInputRange:\t\t-0.402 to 0.402 (Pa)\n"
              "OutputRange:\t\t0.000 to 10.000 (VDC)\nSettling Time:\t\t 5000 (ms)\n"
              "System Volume:\t\t64.000 (cu. in.)\nExcitation:\t\tEXTERNAL\nReq'd Ctrl Stability:\t0.0003 (Pa)\n"
              "Max Leak Rate:\t\t0.000300 (Pa/s)\nDefault Test Profile:\t5pointtest\n",
              ""},
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
             {{"uuts", "--veld"}, 0, std::string(kBuiltInUUTs) + "DG-3001\nPS-4001\nPT-1002\nTX-2001\nTX-2002\n", ""},
             {{"transfer", "uut", "to-veld", "PT-1001"}, 0, "", ""},
             {{"uuts", "--veld"}, 0, std::string(kBuiltInUUTs) + kDemoUUTs, ""},
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
             // Another UUT, tested four days later.
             {{"certificate", "PT-1001_0001.DAT", "TX-2001_0002.DAT", "-o", "{root}/x.pdf"}, 1, "",
              "Unit Under Test profiles do not match for these test results.\nDate/Time tested of AsLeft file "
              "occurs more than 24 hours after Date/Time tested of AsFound file.\n"
              "Cannot collate into a valid report!\n"},
             {{"export", "{root}/x.pdf"}, 1, "", "{root}/x.pdf was not found.\n"}}}),  // nothing printed
    [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

TEST_F(CliTest, UsageErrorsExit2BeforeStartingUpAndHelpDescribesEveryCommand) {
  for (const auto& [args, problem] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{}, "no command given"},
           {{"uut"}, "missing arguments for uut\nusage: veldane-cli [--yes] uut ID [--veld]"},
           {{"about", "x"}, "too many arguments for about\nusage: veldane-cli [--yes] about"},
           {{"transfer", "uut", "sideways", "A"}, "transfer needs to-veld|to-pc, not \"sideways\""},
           {{"certificate", "A.DAT"}, "certificate needs -o OUT.pdf"}}) {
    Expect({args, 2, "", "veldane-cli: " + problem + "\nTry 'veldane-cli --help'.\n"});
  }
  EXPECT_FALSE(fs::exists(Root("VELD"))) << "a usage error must not create the folder tree";
  const std::string help = Cli({"--help"}).out;
  EXPECT_TRUE(help.starts_with("usage: veldane-cli [--yes] COMMAND [ARGS]\n"));
  for (const char* synopsis :
       {"  init\n", "  connect\n", "  refresh\n", "  uuts [--veld] [--csv]\n", "  uut ID [--veld]\n",
        "  profiles [--veld]\n", "  transfer uut|profile to-veld|to-pc ID...\n", "  delete uut|profile ID... [--veld]\n",
        "  import-uuts FILE.csv [--veld] [--dry-run]\n", "  download uut|profile\n", "  results [UUTID]\n",
        "  export FILE [-o OUT]\n", "  certificate FILE [FILE2] -o OUT.pdf [--paper a4|letter]\n",
        "  lab-header [--name TEXT] [--address LINE]... [--accreditation LINE]... [--logo FILE|--no-logo] [--clear]\n",
        "  decode PARTNUMBER\n", "  settings [--veld]\n", "  about\n"}) {
    EXPECT_NE(help.find(synopsis), std::string::npos) << synopsis;
  }
  EXPECT_TRUE(Cli({"export", "--help"}).out.starts_with("usage: veldane-cli [--yes] export FILE [-o OUT]\n\n"));
}

TEST_F(CliTest, SettingsAboutAndTheLockOut) {
  const std::string settings = Cli({"settings"}).out;
  EXPECT_EQ(std::count(settings.begin(), settings.end(), '\n'), 33);
  EXPECT_TRUE(settings.starts_with("UseTrendGraph_TestResults=false\n"));
  EXPECT_NE(settings.find("\n=false\n"), std::string::npos);  // the empty key
  EXPECT_NE(settings.find("\nLockDownAttemptLimit=00000000000000000000000000000003\n"), std::string::npos);
  EXPECT_TRUE(settings.ends_with("\nDefault582-UseDefaults=true\n"));
  const std::string about = Cli({"about"}).out;
  EXPECT_TRUE(
      about.starts_with("Revision:\tRevision Change Description:\n\n3.04\t\tFix for deleting profiles on VELD.\n"));
  EXPECT_TRUE(about.ends_with("\n3.00\t\tUpdate for new Veldane.\n\n"));
  EXPECT_EQ(about.find('\r'), std::string::npos);
  PCSetting("LockedOut", "true");
  for (const char* command : {"init", "about", "uuts"}) Expect({{command}, 3, "", "System is locked out.\n"});
}

TEST_F(CliTest, TransfersCopyRecordsAsTheyAreAndTheMirrorNeverDriftsFromTheCalibrator) {
  Prepare(Device::Connected);
  Expect({{"transfer", "uut", "to-pc", "TX-2002"}, 0, "", ""});
  EXPECT_EQ(Cli({"uut", "TX-2002"}).out, Cli({"uut", "TX-2002", "--veld"}).out);
  // Deleting a custom profile removes its points file as well.
  Expect({{"delete", "profile", "Custom-4", "--veld", "--yes"}, 0, "", ""});
  EXPECT_FALSE(fs::exists(Root("VELD/VELD/TestProfile/Custom-4_Custom.DAT")));
  EXPECT_EQ(fs::file_size(temp_.device() + "/Mounted_Volume/VELD/TestProfile/TestProfileTable.DAT"), 7 * 144u);
  // A change for the calibrator that cannot reach it leaves the mirror as it was.
  const std::string mirror = test::ReadBytes(Root("VELD/VELD/UUT/UUTTable_PPCBK.DAT"));
  Prepare(Device::Unplugged);
  Expect({{"--yes", "delete", "uut", "PT-1001", "--veld"}, 1, "", kConnectFailed});
  EXPECT_EQ(test::ReadBytes(Root("VELD/VELD/UUT/UUTTable_PPCBK.DAT")), mirror);
}

TEST_F(CliTest, ExportReplacesAFileOnlyWithYesAndAResultCutShortStopsTheListing) {
  test::WriteResultFile(Results("PT-1001_0001.DAT"), test::DefaultResultFileDescription());
  const std::string csv = Results("PT-1001_0001.csv");
  test::WriteBytes(csv, "keep");
  Expect({{"export", "PT-1001_0001.DAT"}, 1, "", csv + " already exists.\nDo you want to replace it?\n"});
  EXPECT_EQ(test::ReadBytes(csv), "keep");
  Expect({{"--yes", "export", "PT-1001_0001.DAT"}, 0, csv + "\n", ""});
  EXPECT_NE(test::ReadBytes(csv).find("\r\nPT-1001,6/14/2024 10:32:5,As Found,Passed\r\n"), std::string::npos);
  test::WriteBytes(Results("AAA_0001.DAT"), std::string(100, '\0'));
  Expect({{"results"}, 1, "", "An attempt was made to access " + Results("AAA_0001.DAT") + " past its end.\n"});
}

TEST_F(CliTest, CertificateOfAPairCarriesTheValuesOfBothResultFiles) {
  Prepare(Device::Connected);
  const std::string pdf = Root("PT-1001.pdf");
  // The As Left row first: collation orders the pair by kind, not by row.
  Expect({{"certificate", "PT-1001_0002.DAT", "PT-1001_0001.DAT", "-o", pdf}, 0, pdf + "\n", ""});
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + pdf + ".txt'").c_str()), 0);
  const std::string text = test::ReadBytes(pdf + ".txt");
  // As Found points 1 and 3 read 4 mA + 0.013 %FS and 12 mA - 0.008 %FS; As Left points 1
  // and 5 read 4 mA + 0.004 %FS and 20 mA - 0.003 %FS.
  for (const char* value : {"PT-1001", "SN-48213", "5pointtest", "06/14/2024 08:00", "VELD-00931", "PM-20417",
                            "4.0021", "11.9987", "4.0006", "19.9995"}) {
    EXPECT_NE(text.find(value), std::string::npos) << value;
  }
  fs::copy_file(Results("PT-1001_0001.DAT"), Root("PT-1001_0001.DAT"));
  Expect({{"certificate", Root("PT-1001_0001.DAT"), "-o", pdf}, 1, "",
          Root("PT-1001_0001.DAT is not in the results folder ") + Root("VELD/PC/TestResults.\n")});
}

TEST_F(CliTest, PrintingIsProtectedAndThreeWrongPasswordsLockTheSystem) {
  Prepare(Device::Connected);
  PCSetting("21CFRCompliantMode", "true");
  PCSetting("OperatorChief", "Chief   ADM001  calib8  0101A");
  const std::string pdf = Root("protected.pdf");
  const auto print = [&](const std::string& typed, int status, const std::string& err = "") {
    Expect({{"--yes", "certificate", "PT-1001_0001.DAT", "PT-1001_0002.DAT", "-o", pdf}, status,
            status == 0 ? pdf + "\n" : "", err},
           typed);
  };
  print("", 1);
  print("Chief\nADM001\n", 1);  // input ends before the password
  EXPECT_EQ(PCSetting("FailedPWAttemptCount"), "00000000000000000000000000000000") << "a cancel counts nothing";
  EXPECT_FALSE(fs::exists(pdf));
  print("Chief\nADM001\ncalib8\n", 0);
  EXPECT_EQ(PCSetting("FailedPWAttemptCount"), "0");
  fs::remove(pdf);
  print("Chief\nADM001\nwrong\n", 1);
  print("Chief\r\nADM001\r\nCALIB8\r\n", 1);  // letter case counts
  EXPECT_EQ(PCSetting("FailedPWAttemptCount") + PCSetting("LockedOut"), "2false");
  print("Nobody\nX9\ncalib8\n", 3,
        "System is being locked down due to 3 failed password entry attempts.\n"
        "Please see system administrator for unlock.\n");
  EXPECT_FALSE(fs::exists(pdf));
  Expect({{"init"}, 3, "", "System is locked out.\n"});
  const std::string log = test::ReadBytes(Root("VELD/PC/System/SYSTEMLOG.DAT"));
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
  EXPECT_NE(log.find("Operator ID#:  X9\r\n"), std::string::npos);
  EXPECT_EQ(log.find("calib8"), std::string::npos) << "typed passwords are never logged";
}

}  // namespace
}  // namespace veld
