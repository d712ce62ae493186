// The password entry and administrator settings dialogs with real widgets, offscreen:
// typing reaches the form, Enter accepts, Esc cancels, Latin-1 text survives.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "ui/desktop_services.h"
#include "ui/operator_dialogs.h"

namespace veld::test {

class OperatorDialogsUiTest : public QObject {
  Q_OBJECT

 private:
  // Types text as keys carrying their characters, Latin-1 letters included.
  static void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
      const auto key = static_cast<Qt::Key>(c.toUpper().unicode());
      QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
      QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
    }
  }

  // Runs the password entry as the program does, typing into the dialog once it shows.
  static bool RunEntry(Operator& op, const QString& name, Qt::Key last_key) {
    QTimer::singleShot(0, [=] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr) return;
      Type(dialog->findChild<QLineEdit*>("nameEdit"), name);
      QTest::keyClicks(dialog->findChild<QLineEdit*>("idEdit"), QStringLiteral("ID-7"));
      QTest::keyClicks(dialog->findChild<QLineEdit*>("passwordEdit"), QStringLiteral("s3cret"));
      QTest::keyClick(dialog->findChild<QLineEdit*>("passwordEdit"), last_key);
    });
    QtPasswordEntry entry(nullptr);
    return entry.Run("Printing function is protected.", op);
  }

 private slots:
  void escapeCancelsAndEnterAcceptsTheTypedLatin1Texts() {
    Operator op;
    const Operator before;
    QVERIFY(!RunEntry(op, QStringLiteral("Ann"), Qt::Key_Escape));
    QCOMPARE(op.Name + op.ID + op.Password, before.Name + before.ID + before.Password);
    QVERIFY(RunEntry(op, QString::fromUtf8("Jürgen"), Qt::Key_Return));
    QCOMPARE(op.Name + "|" + op.ID + "|" + op.Password, std::string("J\xfcrgen|ID-7|s3cret"));
  }

  void promptIsShownAndThePasswordIsNotEchoed() {
    PasswordEntryForm form("Please enter adminstrator password for access to system settings.");
    PasswordEntryDialog dialog(form);
    QCOMPARE(dialog.findChild<QLabel*>("promptLabel")->text(),
             QStringLiteral("Please enter adminstrator password for access to system settings."));
    QCOMPARE(dialog.findChild<QLineEdit*>("passwordEdit")->echoMode(), QLineEdit::Password);
  }

  void administratorClicksAreKeptThroughEscape() {
    AdministratorChecks program_states;
    {
      PasswordConfigureForm form(program_states);
      AdministratorSettingsDialog dialog(form);
      auto* cfr = dialog.findChild<QCheckBox*>("cfrCompBox");
      auto* report = dialog.findChild<QCheckBox*>("passwordReportGeneratorBox");
      QVERIFY(!cfr->isChecked());
      QVERIFY(report->isChecked());
      dialog.show();
      QTest::mouseClick(cfr, Qt::LeftButton);
      QTest::keyClick(&dialog, Qt::Key_Escape);
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    QVERIFY(program_states.cfr_comp);
    QVERIFY(program_states.password_report_generator);
    QVERIFY(!program_states.fail_lock_down);
  }
};

}  // namespace veld::test

QTEST_MAIN(veld::test::OperatorDialogsUiTest)
#include "operator_dialogs_ui_test.moc"
