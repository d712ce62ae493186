// The three setup dialogs with real widgets, offscreen: typing with QTest reaches the
// forms and the widgets show what the forms say.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "database/database.h"
#include "support/recording_prompter.h"
#include "support/temp_folders.h"
#include "ui/test_profile_widgets.h"
#include "ui/uut_setup_widget.h"

namespace veld::test {

class SetupDialogsUiTest : public QObject {
  Q_OBJECT

 private:
  template <typename T>
  static T* Child(QWidget* parent, const char* name) {
    auto* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) qFatal("no %s", name);
    return child;
  }
  static QString Text(QWidget* dialog, const char* edit) { return Child<QLineEdit>(dialog, edit)->text(); }

  // Runs check on the modal dialog that the next exec() shows.
  static void OnNextDialog(std::function<void(QWidget*)> check) {
    QTimer::singleShot(0, [check = std::move(check)] {
      if (QWidget* dialog = QApplication::activeModalWidget()) check(dialog);
    });
  }

  static void ShowActive(QWidget& dialog) {
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
  }

  struct Database {
    TempRoot temp;
    RecordingPrompter prompter;
    CDataBaseX pc{prompter};
    Database() {
      pc.SetDevice(DatabaseSide::PC);
      pc.Open();
    }
  };

 private slots:
  void uutSetupTypingReachesTheFormTheTypeArrangesTheDialogAndAFailedFieldTakesTheFocus() {
    Database db;
    UUT uut;
    UUTSetupDlg form(db.prompter);
    form.Open(uut, {"5pointtest", "3pointtest"}, false, db.pc);
    UUTSetupWidget dialog(form);
    ShowActive(dialog);
    QTest::keyClicks(Child<QLineEdit>(&dialog, "idEdit"), QStringLiteral("7395r25wb2dq8c"));
    QCOMPARE(Text(&dialog, "idEdit"), QStringLiteral("7395R25WB2DQ8C"));
    QCOMPARE(Child<QComboBox>(&dialog, "typeCombo")->currentText(), QStringLiteral("3WIR"));

    auto* type = Child<QComboBox>(&dialog, "typeCombo");
    type->setFocus();
    QTest::keyClick(type, Qt::Key_End);  // the last item, "P-SWITCH"
    QVERIFY(!Child<QLineEdit>(&dialog, "outputMinusFsEdit")->isVisible());
    QVERIFY(!Child<QComboBox>(&dialog, "excitationCombo")->isVisible());
    QCOMPARE(Child<QLabel>(&dialog, "minusRowLabel")->text(), QStringLiteral("OPEN"));
    QTest::mouseClick(Child<QCheckBox>(&dialog, "closeSwitchBox"), Qt::LeftButton);
    QVERIFY(form.SwitchChecked(UUTSetupDlg::SwitchRow::Close));

    auto* accuracy = Child<QLineEdit>(&dialog, "accuracyEdit");
    accuracy->selectAll();
    QTest::keyClicks(accuracy, QStringLiteral("20000"));
    QTest::keyClick(Child<QLineEdit>(&dialog, "serialNumberEdit"), Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(db.prompter.Texts(), std::vector<std::string>{"Please enter a number between 0 and 10000."});
    QCOMPARE(QApplication::focusWidget(), accuracy);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(uut.Accuracy, 1.0);
  }

  void testProfileSetupCountTypeAndACustomPointThroughTheEntryDialog() {
    Database db;
    TestProfile profile;
    profile.ID = "P-1";
    UUT uut;
    uut.InputUnits = "kPa";
    QtProfileEditor entry(nullptr, db.prompter);
    TPSetupDlg form(db.prompter, entry);
    form.Open(profile, uut, db.pc, true);
    TPSetupWidget dialog(form);
    ShowActive(dialog);
    QVERIFY(!Child<QLineEdit>(&dialog, "profileIdEdit")->isEnabled());
    auto* list = Child<QTreeWidget>(&dialog, "pointList");
    QCOMPARE(list->topLevelItemCount(), 11);

    auto* count = Child<QLineEdit>(&dialog, "pointCountEdit");
    count->setFocus();
    count->selectAll();
    QTest::keyClick(count, Qt::Key_1);
    QTest::keyClick(count, Qt::Key_Tab);  // leaving the edit
    QCOMPARE(db.prompter.Texts().back(),
             std::string("Minximum number of test points has not been met.\r\nResetting to 2"));
    QCOMPARE(count->text(), QStringLiteral("2"));

    auto* type = Child<QComboBox>(&dialog, "profileTypeCombo");
    type->setCurrentIndex(type->findText(QStringLiteral("Custom")));
    QCOMPARE(profile.ProfileType, std::string("Custom"));
    // The entry dialog of the point clicked: typing in one edit fills the other two, Enter
    // accepts, Esc leaves the point as it was.
    QStringList shown;
    const auto type_into = [&](const char* edit, const QString& text, Qt::Key last_key) {
      OnNextDialog([&, edit, text, last_key](QWidget* entry_dialog) {
        auto* typed = Child<QLineEdit>(entry_dialog, edit);
        typed->selectAll();
        QTest::keyClicks(typed, text);
        shown << Child<QLabel>(entry_dialog, "pointNumberLabel")->text() << Text(entry_dialog, "percentFsEdit")
              << Text(entry_dialog, "pressureEdit") << Child<QLabel>(entry_dialog, "pressureUnit")->text()
              << Text(entry_dialog, "outputEdit");
        QTest::keyClick(typed, last_key);
      });
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->topLevelItem(1)).center());
    };
    type_into("percentFsEdit", QStringLiteral("50"), Qt::Key_Return);
    type_into("outputEdit", QStringLiteral("8"), Qt::Key_Escape);
    // 8 mA is 25 %FS: -0.125 inWC, at the profile's 0.2486491 kPa per inWC.
    QCOMPARE(shown, QStringList({"Point Number 2", "50", "0", "kPa", "12", "Point Number 2", "25", "-0.0310811375",
                                 "kPa", "8"}));
    QCOMPARE(profile.CustomPoints, (std::vector<double>{0.0, 0.5}));
    QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("50.00"));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
  }
};

}  // namespace veld::test

QTEST_MAIN(veld::test::SetupDialogsUiTest)
#include "setup_dialogs_ui_test.moc"
