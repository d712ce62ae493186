// The rules of the three setup dialogs, driven keystroke by keystroke as their widgets
// drive them, over a fresh PC database.

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "app/custom_profile_entry_dlg.h"
#include "app/tp_setup_dlg.h"
#include "app/uut_setup_dlg.h"
#include "database/database.h"
#include "support/recording_prompter.h"
#include "support/temp_root.h"

namespace veld::test {
namespace {

// Table rows print as their names.
template <typename Case>
requires requires(const Case& c) { c.name; }
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

using UField = UUTSetupDlg::Field;
using EField = CCustomProfileEntry_Dlg::Field;
const std::vector<std::string> kProfiles = {"5pointtest", "3pointtest", "Both-Leak"};

// Each prefix of text in turn, as an edit reports the keystrokes of a user typing it;
// the number of messages shown after each keystroke.
std::vector<size_t> TypeInto(const std::function<void(const std::string&)>& edited, const std::string& text,
                             const RecordingPrompter& prompter) {
  std::vector<size_t> messages;
  std::string shown;
  for (char c : text) {
    shown += c;
    edited(shown);
    messages.push_back(prompter.entries.size());
  }
  return messages;
}

UUT MakeUUT(const std::string& type, double excitation, const std::string& units = "inWC",
            const std::string& profile = "5pointtest") {
  UUT uut;
  uut.ID = "U-1";
  uut.SetOutputType(type);
  uut.Excitation = excitation;
  uut.InputUnits = units;
  uut.DefaultTestProfile = profile;
  return uut;
}

class SetupFormTest : public TempRootTest {
 protected:
  SetupFormTest() {
    database_.SetDevice(DatabaseSide::PC);
    database_.Open();
  }
  RecordingPrompter prompter_;
  CDataBaseX database_{prompter_};
};

// --- UUT setup -----------------------------------------------------------------------

class UUTSetupFormTest : public SetupFormTest {
 public:
  void OpenOn(UUT& uut, const std::vector<std::string>& ids = kProfiles, bool locked = false) {
    form_.Open(uut, ids, locked, database_);
  }
  void Type(UField field, const std::string& text) {
    TypeInto([&](const std::string& shown) { form_.OnTextEdited(field, shown); }, text, prompter_);
  }
  void Choose(const ComboChoice& box, void (UUTSetupDlg::*choose)(int), const std::string& item) {
    const auto found = std::find(box.items.begin(), box.items.end(), item);
    ASSERT_NE(found, box.items.end()) << item;
    (form_.*choose)(static_cast<int>(found - box.items.begin()));
  }
  UUTSetupDlg form_{prompter_};
};

struct UUTOpenCase {
  const char* name;
  UUT uut;
  const char *type, *excitation, *profile;
  bool output_column, switch_column, excitation_shown;
  const char *minus_row, *input_low, *input_high;
};

class UUTSetupOpenTest : public UUTSetupFormTest, public ::testing::WithParamInterface<UUTOpenCase> {};

TEST_P(UUTSetupOpenTest, ShowsTheUUTInTheBoxesAndTheLayoutOfItsType) {
  const UUTOpenCase& c = GetParam();
  UUT uut = c.uut;
  OpenOn(uut);
  EXPECT_EQ(form_.TypeBox().items, (std::vector<std::string>{"3WIR", "4WIR", "CURR", "DIALGAGE", "P-SWITCH"}));
  EXPECT_EQ(form_.ExcitationBox().items,
            (std::vector<std::string>{"12VDC", "15VDC", "18VDC", "24VDC", "5VDC", "9VDC", "EXTERNAL"}));
  EXPECT_EQ(form_.TypeBox().Value(), c.type);
  EXPECT_EQ(form_.ExcitationBox().Value(), c.excitation);
  EXPECT_EQ(form_.ProfileBox().Value(), c.profile);
  EXPECT_EQ(form_.layout().output_column, c.output_column);
  EXPECT_EQ(form_.layout().switch_column, c.switch_column);
  EXPECT_EQ(form_.layout().excitation, c.excitation_shown);
  EXPECT_STREQ(form_.layout().minus_row_label, c.minus_row);
  EXPECT_EQ(form_.Text(UField::InputMinusFS), c.input_low);
  EXPECT_EQ(form_.Text(UField::InputPlusFS), c.input_high);
  EXPECT_EQ(form_.InputUnitsText(), uut.InputUnits);
  EXPECT_TRUE(form_.IdEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Opening, UUTSetupOpenTest,
    ::testing::Values(
        UUTOpenCase{"CsimExternal", MakeUUT("CSIM", -1.0), "CURR", "EXTERNAL", "5pointtest", true, false, true, "-FS",
                    "-0.25", "0.25"},
        // No such text: the first item of the sorted box.
        UUTOpenCase{"Excitation7p5", MakeUUT("3WIR", 7.5), "3WIR", "12VDC", "5pointtest", true, false, true, "-FS",
                    "-0.25", "0.25"},
        UUTOpenCase{"UnknownProfile", MakeUUT("4WIR", 5.0, "inWC", "gone"), "4WIR", "5VDC", "3pointtest", true,
                    false, true, "-FS", "-0.25", "0.25"},
        UUTOpenCase{"PressureSwitch", MakeUUT("P-SWITCH", 24.0), "P-SWITCH", "24VDC", "5pointtest", false, true, false,
                    "OPEN", "-0.25", "0.25"},
        UUTOpenCase{"DialGauge", MakeUUT("DIALGAGE", 24.0), "DIALGAGE", "24VDC", "5pointtest", false, false, false,
                    "-FS", "-0.25", "0.25"},
        // Held in inches of water, shown in the UUT's unit: -0.25 x 248.642103 / 1000.
        UUTOpenCase{"RangeInKpa", MakeUUT("CSOU", 24.0, "kPa"), "CURR", "24VDC", "5pointtest", true, false, true, "-FS",
                    "-0.06216052575", "0.06216052575"},
        UUTOpenCase{"UnknownUnit", MakeUUT("CSOU", 24.0, "in. WC"), "CURR", "24VDC", "5pointtest", true, false, true,
                    "-FS", "-0.25", "0.25"}),
    [](const auto& info) { return std::string(info.param.name); });

// What OK stores after the user's choices and clicks.
struct UUTOkCase {
  const char* name;
  UUT uut;
  std::vector<std::string> ids;
  const char* type;        // chosen, or nullptr
  const char* excitation;  // chosen, or nullptr
  std::vector<UUTSetupDlg::SwitchRow> clicks;
  // Stored:
  const char* stored_type;
  double stored_excitation, output_offset, output_span;
  const char* output_units;
  const char* default_profile;
};

class UUTSetupOkTest : public UUTSetupFormTest, public ::testing::WithParamInterface<UUTOkCase> {};

TEST_P(UUTSetupOkTest, StoresWhatTheControlsHold) {
  const UUTOkCase& c = GetParam();
  UUT uut = c.uut;
  OpenOn(uut, c.ids);
  if (c.type) Choose(form_.TypeBox(), &UUTSetupDlg::OnTypeChosen, c.type);
  if (c.excitation) Choose(form_.ExcitationBox(), &UUTSetupDlg::OnExcitationChosen, c.excitation);
  for (UUTSetupDlg::SwitchRow row : c.clicks) form_.OnSwitchClicked(row);
  ASSERT_TRUE(form_.OnOk());
  EXPECT_TRUE(prompter_.entries.empty());
  EXPECT_EQ(std::tuple(uut.OutputType, uut.Excitation, uut.OutputOffset, uut.OutputSpan, uut.OutputUnits,
                       uut.DefaultTestProfile),
            std::tuple(std::string(c.stored_type), c.stored_excitation, c.output_offset, c.output_span,
                       std::string(c.output_units), std::string(c.default_profile)));
}

using Row = UUTSetupDlg::SwitchRow;
INSTANTIATE_TEST_SUITE_P(
    Ok, UUTSetupOkTest,
    ::testing::Values(
        UUTOkCase{"ExternalMakesCsim", MakeUUT("CSOU", 24.0), kProfiles, nullptr, "EXTERNAL", {},
                  "CSIM", -1.0, 4.0, 16.0, "mA", "5pointtest"},
        UUTOkCase{"CurrWithVoltsIsCsou", MakeUUT("CSIM", -1.0), kProfiles, nullptr, "15VDC", {},
                  "CSOU", 15.0, 4.0, 16.0, "mA", "5pointtest"},
        // The OPEN row's box: 1 at -FS, 0 at +FS.
        UUTOkCase{"SwitchOpen", MakeUUT("CSOU", 24.0), kProfiles, "P-SWITCH", nullptr, {Row::Open},
                  "P-SWITCH", 24.0, 1.0, -1.0, "mA", "5pointtest"},
        // One box at a time: ticking CLOSE clears OPEN.
        UUTOkCase{"SwitchOpenThenClose", MakeUUT("P-SWITCH", 24.0), kProfiles, nullptr, nullptr,
                  {Row::Open, Row::Close},
                  "P-SWITCH", 24.0, 0.0, 1.0, "mA", "5pointtest"},
        UUTOkCase{"DialGauge", MakeUUT("CSOU", 24.0), kProfiles, "DIALGAGE", nullptr, {},
                  "DIALGAGE", 24.0, 4.0, 16.0, "", "5pointtest"},
        UUTOkCase{"UnknownProfileStoresTheFirst", MakeUUT("3WIR", 5.0, "inWC", "gone"), kProfiles, nullptr,
                  nullptr, {},
                  "3WIR", 5.0, 4.0, 16.0, "VDC", "3pointtest"},
        UUTOkCase{"NoProfilesStoresNone", MakeUUT("3WIR", 5.0), {}, nullptr, nullptr, {},
                  "3WIR", 5.0, 4.0, 16.0, "VDC", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UUTSetupFormTest, RangeIsTypedInTheUUTsUnitAndAnUnchangedNumberKeepsEveryBit) {
  UUT uut = MakeUUT("CSOU", 24.0, "kPa");
  OpenOn(uut);
  Type(UField::InputMinusFS, "-1");
  Type(UField::InputPlusFS, "1.5");
  ASSERT_TRUE(form_.OnOk());
  EXPECT_DOUBLE_EQ(uut.InputOffset, -1000.0 / 248.642103);
  EXPECT_DOUBLE_EQ(uut.InputOffset + uut.InputSpan, 1500.0 / 248.642103);

  // Numbers that need all 17 digits, which %.15g does not show.
  UUT awkward = MakeUUT("CSOU", 24.0, "kPa");
  awkward.InputOffset = -1.0 / 3.0;
  awkward.InputSpan = 2.0 / 3.0 + 1e-9;
  awkward.OutputOffset = 0.1 + 0.2;
  awkward.OutputSpan = 16.0 / 7.0;
  awkward.Accuracy = 0.1 / 3.0;
  awkward.ReCalAccuracy = 2.0 / 7.0;
  awkward.ControlStability = 1e-4 / 3.0;
  awkward.MaxLeakRate = 1.0 / 7.0;
  awkward.SystemVolume = 64.0 / 3.0;
  UUT edited = awkward;
  OpenOn(edited);
  ASSERT_TRUE(form_.OnOk());
  for (double UUT::*number : std::initializer_list<double UUT::*>{
           &UUT::InputOffset, &UUT::InputSpan, &UUT::OutputOffset, &UUT::OutputSpan, &UUT::Accuracy,
           &UUT::ReCalAccuracy, &UUT::ControlStability, &UUT::MaxLeakRate, &UUT::SystemVolume}) {
    EXPECT_EQ(edited.*number, awkward.*number);
  }
}

// A failed check: its message, the focus on the field, the dialog open, the UUT as it was.
struct UUTRefusalCase {
  const char* name;
  UField field;
  const char* text;
  const char* message;
};

class UUTSetupRefusalTest : public UUTSetupFormTest, public ::testing::WithParamInterface<UUTRefusalCase> {};

TEST_P(UUTSetupRefusalTest, NamesTheProblemAndKeepsTheDialogOpen) {
  const UUTRefusalCase& c = GetParam();
  UUT uut = MakeUUT("CSOU", 24.0);
  uut.ID.clear();
  OpenOn(uut);
  Type(UField::Id, "NEW-1");
  form_.OnTextEdited(c.field, c.text);
  prompter_.entries.clear();
  EXPECT_FALSE(form_.OnOk());
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{c.message});
  EXPECT_EQ(form_.TakeFocusRequest(), c.field);
  EXPECT_EQ(form_.TakeFocusRequest(), std::nullopt);
  EXPECT_EQ(uut.ID, "");
  EXPECT_EQ(uut.Accuracy, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, UUTSetupRefusalTest,
    ::testing::Values(
        UUTRefusalCase{"AccuracyAbove", UField::Accuracy, "10000.5", "Please enter a number between 0 and 10000."},
        UUTRefusalCase{"AccuracyBelow", UField::Accuracy, "-1", "Please enter a number between 0 and 10000."},
        UUTRefusalCase{"Stability", UField::ControlStability, "100001", "Please enter a number between 0 and 100000."},
        UUTRefusalCase{"LeakZero", UField::MaxLeakRate, "0", "Please enter a number between 0.000001 and 1."},
        UUTRefusalCase{"LeakAbove", UField::MaxLeakRate, "1.5", "Please enter a number between 0.000001 and 1."},
        UUTRefusalCase{"SettlingAbove", UField::SettlingTime, "100000", "Please enter an integer between 0 and 99999."},
        UUTRefusalCase{"SettlingFraction", UField::SettlingTime, "12.5", "Please enter an integer."},
        UUTRefusalCase{"VolumeText", UField::SystemVolume, "abc", "Please enter a number."},
        UUTRefusalCase{"RangeEmpty", UField::InputPlusFS, "", "Please enter a number."},
        UUTRefusalCase{"RangeComma", UField::OutputMinusFS, "4,5", "Please enter a number."},
        UUTRefusalCase{"EmptyId", UField::Id, "", "Please enter a valid ID for this profile!"},
        // The table would refuse it after the dialog closed, and everything typed would be lost.
        UUTRefusalCase{"IdOver32", UField::Id, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456",
                       "UUT ID is longer than 32 characters.  The profile was not saved."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UUTSetupFormTest, APartNumberTypedAsTheIdFillsTheUUTAtTheLastKeystroke) {
  UUT uut;  // a new UUT: the defaults, no ID
  OpenOn(uut);
  Type(UField::SerialNumber, "SN-9");  // typed first, and kept
  Type(UField::Id, "7395r25wb2dq8");
  EXPECT_EQ(uut.ID, "");  // 13 characters: nothing but the ID edit changed
  EXPECT_EQ(form_.Text(UField::MaxLeakRate), "0.0003");
  form_.OnTextEdited(UField::Id, "7395r25wb2dq8c");
  EXPECT_TRUE(prompter_.entries.empty());
  EXPECT_EQ((std::vector<std::string>{form_.Text(UField::Id), form_.Text(UField::InputMinusFS),
                                      form_.Text(UField::InputPlusFS), form_.InputUnitsText(),
                                      form_.Text(UField::OutputMinusFS), form_.Text(UField::OutputPlusFS),
                                      form_.OutputUnitsText(), form_.TypeBox().Value(), form_.ExcitationBox().Value(),
                                      form_.Text(UField::Accuracy), form_.Text(UField::ControlStability),
                                      form_.Text(UField::MaxLeakRate), form_.Text(UField::SettlingTime),
                                      form_.ProfileBox().Value(), form_.Text(UField::SerialNumber)}),
            (std::vector<std::string>{"7395R25WB2DQ8C", "-0.25", "0.25", "inWC", "0.05", "5.05", "VDC", "3WIR", "24VDC",
                                      "1", "0.0003", "0.0001", "5000", "3pointtest", "SN-9"}));
  ASSERT_TRUE(form_.OnOk());
  EXPECT_EQ(uut.SerialNumber, "SN-9");
  EXPECT_EQ(uut.OutputSpan, 5.0);
}

TEST_F(UUTSetupFormTest, AFailedCheckStopsThePartNumberAndALockedIdCannotChange) {
  UUT uut;
  OpenOn(uut);
  Type(UField::Accuracy, "x");
  Type(UField::Id, "7395R25WB2DQ8C");
  EXPECT_EQ(prompter_.entries.size(), 14u);  // one message a keystroke
  EXPECT_EQ(form_.TakeFocusRequest(), UField::Accuracy);
  EXPECT_EQ(uut.OutputType, "CSIM");

  UUT stored = MakeUUT("CSOU", 24.0);
  OpenOn(stored, kProfiles, true);
  EXPECT_FALSE(form_.IdEnabled());
  form_.OnTextEdited(UField::Id, "7395R25WB2DQ8C");
  EXPECT_EQ(form_.Text(UField::Id), "U-1");
  ASSERT_TRUE(form_.OnOk());
  EXPECT_EQ(stored.ID, "U-1");
}

// --- Test profile setup --------------------------------------------------------------

// Remembers the points the custom point entry opened on, and cancels. (What its OK and
// Cancel do to the point is the widget test's, through the real entry dialog.)
class ScriptedPointEntry : public CustomPointEntry {
 public:
  bool Run(CCustomProfileEntry_Dlg& form) override {
    opened.push_back(form.PointLabel() + " " + form.Text(EField::PercentFS));
    return false;
  }
  std::vector<std::string> opened;
};

class TPSetupFormTest : public SetupFormTest {
 protected:
  void OpenOn(const std::string& type, int points, bool locked = true) {
    profile_.ID = "P-1";
    profile_.ProfileType = type;
    profile_.NumberOfPoints = points;
    profile_.GeneratePoints(points, true, type);
    form_.Open(profile_, uut_, database_, locked);
  }
  std::vector<size_t> TypePoints(const std::string& text) {
    return TypeInto([&](const std::string& shown) { form_.OnPointsEdited(shown); }, text, prompter_);
  }
  void ChooseType(const std::string& type) {
    const auto& items = form_.TypeBox().items;
    form_.OnTypeChosen(static_cast<int>(std::find(items.begin(), items.end(), type) - items.begin()));
  }
  std::vector<std::string> Column(std::string ProfilePointRow::*column) const {
    std::vector<std::string> texts;
    for (const ProfilePointRow& row : form_.Rows()) texts.push_back(row.*column);
    return texts;
  }

  TestProfile profile_;
  UUT uut_;
  ScriptedPointEntry entry_;
  TPSetupDlg form_{prompter_, entry_};
};

TEST_F(TPSetupFormTest, CountIsHeldBetweenTwoAndOneHundredAndOne) {
  OpenOn("Ascending", 11);
  EXPECT_EQ(form_.TypeBox().items, (std::vector<std::string>{"Ascending", "Both", "Custom", "Descending"}));
  EXPECT_EQ(TypePoints("150"), (std::vector<size_t>{0, 0, 1}));  // the message at the third keystroke
  EXPECT_EQ(prompter_.Texts().back(), "Maximum number of test points has been exceeded.\r\nResetting to 101");
  EXPECT_EQ(form_.PointsText(), "101");
  EXPECT_EQ(profile_.NumberOfPoints, 101);
  EXPECT_EQ(form_.Rows().size(), 101u);
  form_.OnPointsFocusLost();  // 101 stands: nothing more
  EXPECT_EQ(prompter_.entries.size(), 1u);

  EXPECT_EQ(TypePoints("1"), (std::vector<size_t>{1}));
  form_.OnPointsFocusLost();
  EXPECT_EQ(prompter_.Texts().back(), "Minximum number of test points has not been met.\r\nResetting to 2");
  EXPECT_EQ(form_.PointsText(), "2");
  EXPECT_EQ(profile_.NumberOfPoints, 2);

  TypePoints("1x");
  form_.OnPointsFocusLost();
  EXPECT_EQ(prompter_.Texts().back(), "Invalid number of test points.\r\nPlease use numbers only");
  EXPECT_EQ(profile_.NumberOfPoints, 2);
  EXPECT_EQ(prompter_.entries.size(), 3u);

  // Enter presses OK without leaving the edit: the count is checked there too.
  TypePoints("1");
  EXPECT_FALSE(form_.OnOk());
  EXPECT_EQ(prompter_.Texts().back(), "Minximum number of test points has not been met.\r\nResetting to 2");
  EXPECT_EQ(form_.TakeFocusRequest(), TPSetupDlg::Field::Points);
  ASSERT_TRUE(form_.OnOk());
  EXPECT_EQ(profile_.NumberOfPoints, 2);

  // Digits beyond any int read as too many, not as a wrapped count.
  TypePoints("4294967298");
  EXPECT_EQ(profile_.NumberOfPoints, 101);
}

TEST_F(TPSetupFormTest, CustomPointsRestartOrFollowThePreviousType) {
  OpenOn("Custom", 5);
  profile_.CustomPoints = {0.0, 0.1, 0.2, 0.9, 1.0};
  form_.OnPointsEdited("3");
  EXPECT_EQ(profile_.CustomPoints, (std::vector<double>{0.0, 0.5, 1.0}));

  OpenOn("Both", 5, false);
  form_.OnIdEdited("NEW-ID");
  ChooseType("Custom");
  EXPECT_EQ(profile_.ProfileType, "Custom");
  EXPECT_EQ(profile_.CustomPoints, (std::vector<double>{0.0, 0.5, 1.0, 0.5, 0.0}));
  EXPECT_EQ(form_.IdText(), "NEW-ID");
  EXPECT_EQ(Column(&ProfilePointRow::percent_fs),
            (std::vector<std::string>{"0.00", "50.00", "100.00", "50.00", "0.00"}));

  // With a custom file for the profile, its points and count.
  TestProfile stored;
  stored.ID = "P-1";
  stored.ProfileType = "Custom";
  stored.NumberOfPoints = 4;
  stored.CustomPoints = {0.0, 0.25, 0.75, 1.0};
  database_.SaveTestProfile(stored);
  OpenOn("Ascending", 7);
  ChooseType("Custom");
  EXPECT_EQ(profile_.NumberOfPoints, 4);
  EXPECT_EQ(form_.PointsText(), "4");
  EXPECT_EQ(Column(&ProfilePointRow::percent_fs), (std::vector<std::string>{"0.00", "25.00", "75.00", "100.00"}));
  EXPECT_TRUE(prompter_.entries.empty());
}

TEST_F(TPSetupFormTest, PressuresInTheUUTsUnitWithDecimalsByItsSize) {
  for (const auto& [units, first, last] : {std::tuple{"kPa", "-0.0622", "0.0622"}, {"Pa", "-62.2", "62.2"},
                                           {"mmWC", "-6.35", "6.35"}, {"inWC", "-0.250", "0.250"}}) {
    uut_.InputUnits = units;
    OpenOn("Ascending", 3);
    EXPECT_EQ(form_.Rows().front().pressure + " " + form_.Rows().back().pressure + " " + form_.Rows().back().output,
              std::string(first) + " " + last + " 20.000");
  }
}

TEST_F(TPSetupFormTest, OneClickedPointOfACustomProfileOpensTheEntry) {
  OpenOn("Ascending", 3);
  form_.OnPointListClicked({1});
  EXPECT_TRUE(entry_.opened.empty());  // only a "Custom" profile's points are entered

  ChooseType("Custom");
  form_.OnPointListClicked({0, 1});
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Too many selected!"});
  form_.OnPointListClicked({});
  form_.OnPointListClicked({1});
  EXPECT_EQ(entry_.opened, std::vector<std::string>{"Point Number 2 50"});
  EXPECT_EQ(profile_.CustomPoints, (std::vector<double>{0.0, 0.5, 1.0}));  // cancelled
}

struct ProfileOkCase {
  const char* name;
  const char* type;
  const char* id;
  const char* message;  // nullptr: accepted
};

class TPSetupOkTest : public TPSetupFormTest, public ::testing::WithParamInterface<ProfileOkCase> {};

TEST_P(TPSetupOkTest, OkTakesTheDialogsValuesOrRefusesWhatTheTableWouldNotStore) {
  const ProfileOkCase& c = GetParam();
  OpenOn("Ascending", 11, false);
  profile_.ID.clear();
  form_.OnIdEdited(c.id);
  ChooseType(c.type);
  form_.OnLeakTestClicked(true);
  form_.OnPointsEdited("6");
  prompter_.entries.clear();
  if (c.message == nullptr) {
    ASSERT_TRUE(form_.OnOk());
    EXPECT_TRUE(prompter_.entries.empty());
    EXPECT_EQ(std::tuple(profile_.ID, profile_.ProfileType, profile_.NumberOfPoints, profile_.LeakTest),
              std::tuple(std::string(c.id), std::string(c.type), 6, true));
    EXPECT_EQ(form_.Rows().back().number, "  L");
  } else {
    EXPECT_FALSE(form_.OnOk());
    EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(form_.TakeFocusRequest(), TPSetupDlg::Field::Id);
    EXPECT_FALSE(profile_.LeakTest);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ok, TPSetupOkTest,
    ::testing::Values(ProfileOkCase{"Accepted", "Descending", "Mine", nullptr},
                      ProfileOkCase{"SlashWithoutCustomFile", "Both", "a/b", nullptr},
                      ProfileOkCase{"EmptyId", "Both", "", "Please enter a valid ID for this profile!"},
                      ProfileOkCase{"IdOver32", "Both", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456",
                                    "Profile ID is longer than 32 characters.  The profile was not saved."},
                      ProfileOkCase{"CustomIdNoFileName", "Custom", "a/b",
                                    "Unable to save custom profile.  Invalid profile ID!"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Custom point entry --------------------------------------------------------------

struct EntryCase {
  const char* name;
  const char* units;  // input units of a -0.25 to 0.25 inWC, 4 to 20 mA UUT
  EField field;
  const char* typed;               // typed a keystroke at a time
  std::vector<std::string> texts;  // %FS, pressure, output afterwards
  std::vector<std::string> messages;
};

class EntryFormTest : public SetupFormTest, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(EntryFormTest, TheOtherTwoFollowEachKeystroke) {
  const EntryCase& c = GetParam();
  UUT uut;
  uut.InputUnits = c.units;
  CCustomProfileEntry_Dlg form(prompter_);
  form.Open(0.0, 1, uut);
  TypeInto([&](const std::string& shown) { form.OnTextEdited(c.field, shown); }, c.typed, prompter_);
  EXPECT_EQ(
      (std::vector<std::string>{form.Text(EField::PercentFS), form.Text(EField::Pressure), form.Text(EField::Output)}),
      c.texts);
  EXPECT_EQ(prompter_.Texts(), c.messages);
}

const char* const kOutputRangeMessage = "25.00000mA is not within output range of selected UUT.\r\nPlease re-enter.";

INSTANTIATE_TEST_SUITE_P(
    Keystrokes, EntryFormTest,
    ::testing::Values(
        EntryCase{"Fifty", "inWC", EField::PercentFS, "50", {"50", "0", "12"}, {}},
        // The text being typed stays as typed.
        EntryCase{"TrailingZero", "inWC", EField::PercentFS, "25.50", {"25.50", "-0.1225", "8.08"}, {}},
        EntryCase{"PercentAbove", "inWC", EField::PercentFS, "150", {"0", "-0.25", "4"},
                  {"150.000% is not within input range of selected UUT.\r\nPlease re-enter a value between 0 and 100."}},
        // The first digit of 10 to 20 mA is not acted on.
        EntryCase{"OneMilliamp", "inWC", EField::Output, "1", {"0", "-0.25", "1"}, {}},
        EntryCase{"TwelveMilliamps", "inWC", EField::Output, "12", {"50", "0", "12"}, {}},
        // One message; 0 mA is outside 4 to 20 as well, so the others stay.
        EntryCase{"OutputAbove", "inWC", EField::Output, "25", {"0", "-0.25", "0"}, {kOutputRangeMessage}},
        // Still being typed: nothing changes.
        EntryCase{"Minus", "inWC", EField::Pressure, "-", {"0", "-", "4"}, {}},
        EntryCase{"ZeroPoint", "inWC", EField::PercentFS, "0.", {"0.", "-0.25", "4"}, {}},
        EntryCase{"MinusZeroPoint", "inWC", EField::Output, "-0.", {"0", "-0.25", "-0."}, {}},
        EntryCase{"KpaPressure", "kPa", EField::Pressure, "0.031", {"74.9347373467268", "0.031", "15.9895579754763"}, {}},
        // Reset to 0 kPa, which lies in range: the others follow it.
        EntryCase{"KpaPressureAbove", "kPa", EField::Pressure, "1", {"50", "0", "12"},
                  {"1.00000kPa is not within input range of selected UUT.\r\nPlease re-enter."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetupFormTest, EntryOpensOnThePointAndOkGivesItsFraction) {
  UUT uut;
  CCustomProfileEntry_Dlg form(prompter_);
  form.Open(25.0, 3, uut);
  EXPECT_EQ(form.PointLabel(), "Point Number 3");
  EXPECT_EQ(form.Text(EField::Pressure), "-0.125");
  EXPECT_EQ(form.Text(EField::Output), "8");
  form.OnTextEdited(EField::PercentFS, "");
  form.OnTextEdited(EField::PercentFS, "5");
  form.OnTextEdited(EField::PercentFS, "25");
  ASSERT_TRUE(form.OnOk());
  EXPECT_EQ(form.Fraction(), 0.25);

  form.OnTextEdited(EField::Pressure, "abc");  // not a number: ignored while typing, refused at OK
  EXPECT_FALSE(form.OnOk());
  EXPECT_EQ(prompter_.Texts(), std::vector<std::string>{"Please enter a number."});
  EXPECT_EQ(form.TakeFocusRequest(), EField::Pressure);
  form.OnTextEdited(EField::Pressure, "0");
  form.OnTextEdited(EField::PercentFS, "1e3");
  EXPECT_FALSE(form.OnOk());
  EXPECT_EQ(prompter_.Texts().back(), "Please enter a number between 0 and 100.");
}

}  // namespace
}  // namespace veld::test
