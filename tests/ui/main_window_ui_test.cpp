// The desktop program's widgets wired to the window's commands, on Qt's offscreen
// platform: real widgets, clicks and keys, a stand-in calibrator volume, and test services
// in place of the modal dialogs that would wait for a user.

#include <QAbstractItemView>
#include <QChart>
#include <QChartView>
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <filesystem>

#include "app/main_window_texts.h"
#include "database/desktop_settings.h"
#include "platform/host_path.h"
#include "support/recording_prompter.h"
#include "support/result_file_writer.h"
#include "support/temp_folders.h"
#include "ui/about_dialog.h"
#include "ui/desktop_program.h"
#include "ui/report_dialogs.h"
#include "support/fake_window_services.h"

namespace veld::test {
namespace fs = std::filesystem;

class MainWindowUiTest : public QObject {
  Q_OBJECT

 private:
  // A program over a fresh root, and a calibrator that holds the PC tables it created,
  // result files of two UUTs, and (for the Latin-1 round trip) a kPa UUT named in Latin-1.
  struct Setup {
    TempRoot temp;
    RecordingPrompter prompter;
    ScriptedPasswordEntry password;
    RecordingPrinter printer;
    ScriptedSaveAs save_as;
    ScriptedAdministrator administrator;
    MemoryFolderStore folder_store;
    ScriptedOpenFile open_file;
    std::unique_ptr<DesktopProgram> program;

    Setup() {
      setenv("VELD_RAPI_LIBRARY", VELD_RAPI_TEST_LIBRARY, 1);
      DesktopOverrides overrides;
      overrides.prompter = &prompter;
      overrides.password_entry = &password;
      overrides.printer = &printer;
      overrides.save_as = &save_as;
      overrides.administrator = &administrator;
      overrides.calibrator_folder = &folder_store;
      overrides.open_file = &open_file;
      program = std::make_unique<DesktopProgram>(overrides);
      if (!program->StartUp()) throw std::runtime_error("locked out");
      UUT latin;
      latin.ID = "M\xfc" "ller-\xb5";  // Latin-1: u umlaut, micro sign
      latin.SetOutputType("CSOU");
      latin.InputUnits = "kPa";
      latin.DefaultTestProfile = "3pointtest";
      program->window().pc().SaveUUT(latin);
      const std::string veld = temp.device() + "/Mounted_Volume/VELD/";
      for (const auto& [from, to] : {std::pair{"C:\\VELD\\PC\\UUT\\UUTTable.dat", "UUT/UUTTable.DAT"},
                                     {"C:\\VELD\\PC\\TestProfile\\TestProfileTable.dat", "TestProfile/TestProfileTable.DAT"}}) {
        fs::create_directories(fs::path(veld + to).parent_path());
        fs::copy_file(HostPath(from), veld + to);
      }
      for (const auto& [name, id, as_found] : {std::tuple{"PT-1_0001.DAT", "PT-1", true},
                                                 {"PT-1_0002.DAT", "PT-1", false},
                                                 {"AB_0001.DAT", "AB", true}}) {
        ResultFileDescription desc = DefaultResultFileDescription();
        desc.uut.ID = id;
        desc.as_found = as_found;
        WriteResultFile(veld + "TestResults/DAT/" + name, desc);
      }
      program->widget().show();
      program->widget().activateWindow();
      if (!QTest::qWaitForWindowActive(&program->widget())) throw std::runtime_error("window not active");
    }
  };

  static QStringList Rows(QAbstractItemView* view) {
    QStringList rows;
    for (int row = 0; row < view->model()->rowCount(); ++row) rows << view->model()->index(row, 0).data().toString();
    return rows;
  }

  // A mouse click on a row of a list, as a user makes it.
  static void ClickRow(QAbstractItemView* view, int row, Qt::KeyboardModifiers modifiers = {}) {
    const QRect rect = view->visualRect(view->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, rect.center());
  }

  static QPushButton* Button(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
    if (button == nullptr) qFatal("no button %s", name);
    return button;
  }

 private slots:
  void startUpShowsNamedControlsF1OpensTheAboutBoxAndEscapeClosesTheWindow() {
    Setup setup;
    MainWindowWidget& window = setup.program->widget();
    QCOMPARE(window.windowTitle(), QStringLiteral("Veldane Manager         Rev 3.04"));
    QCOMPARE(window.listView(WindowList::PcUUTs)->accessibleName(), QStringLiteral("PC Database UUT profiles"));
    const QList<QPushButton*> buttons = window.findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 17);
    for (QPushButton* button : buttons) QVERIFY2(!button->accessibleName().isEmpty(), qPrintable(button->objectName()));
    QCOMPARE(Button(window, "uutEditButton")->accessibleName(), QStringLiteral("EDIT (UUT Profiles)"));

    QString about_text;
    QTimer::singleShot(0, [&] {
      auto* about = qobject_cast<AboutDialog*>(QApplication::activeModalWidget());
      if (about == nullptr) return;
      about_text = about->findChild<QPlainTextEdit*>("revisionText")->toPlainText();
      QTest::keyClick(about, Qt::Key_Escape);
    });
    QTest::keyClick(&window, Qt::Key_F1);
    QVERIFY(about_text.startsWith("Revision:\tRevision Change Description:\n\n3.04\t\t"));
    QVERIFY(window.isVisible());
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(!window.isVisible());
  }

  void enterConnectsAndClicksShowPanels() {
    Setup setup;
    MainWindowWidget& window = setup.program->widget();
    QTest::keyClick(&window, Qt::Key_Return);  // Enter presses Connect
    QCOMPARE(Rows(window.listView(WindowList::VeldUUTs)),
             QStringList({"73950R5WB2DQ8C", "7395R25WB2DQ8C", QString::fromUtf8("Müller-µ")}));
    QCOMPARE(window.listView(WindowList::PcUUTs)->model()->rowCount(), 3);
    QCOMPARE(window.listView(WindowList::PcProfiles)->model()->rowCount(), 6);
    QCOMPARE(window.resultCombo()->count(), 2);
    QVERIFY(window.findChild<QPlainTextEdit*>("statusBox")->toPlainText().endsWith("All data uploaded from VELD.\n"));

    // A click on the Latin-1 row shows its record: the name survives list, click and panel.
    const int latin_row = static_cast<int>(Rows(window.listView(WindowList::PcUUTs)).indexOf(QString::fromUtf8("Müller-µ")));
    QVERIFY(latin_row >= 0);
    ClickRow(window.listView(WindowList::PcUUTs), latin_row);
    QCOMPARE(setup.program->window().current_uut().ID, std::string("M\xfcller-\xb5"));
    QVERIFY(window.findChild<QPlainTextEdit*>("uutPanel")->toPlainText().startsWith(QString::fromUtf8("UUT ID:\t\tMüller-µ\n")));
    // EDIT shows it in its own unit, and OK without a change stores the very same bytes.
    const std::string table = ReadBytes(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat"));
    QString shown;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr) return;
      shown = dialog->findChild<QLineEdit*>("idEdit")->text() + " " +
              dialog->findChild<QLabel*>("inputUnitsLabel")->text();
      QTest::keyClick(dialog, Qt::Key_Return);
    });
    QTest::mouseClick(Button(window, "uutEditButton"), Qt::LeftButton);
    QCOMPARE(shown, QString::fromUtf8("Müller-µ kPa"));
    QCOMPARE(ReadBytes(HostPath("C:\\VELD\\PC\\UUT\\UUTTable.dat")), table);

    // A click on the VELD list moves the side; a Ctrl-click of a second row keeps the panel.
    ClickRow(window.listView(WindowList::VeldUUTs), 0);
    QCOMPARE(setup.program->window().uut_side(), DatabaseSide::VELD);
    ClickRow(window.listView(WindowList::PcUUTs), 0, Qt::ControlModifier);
    ClickRow(window.listView(WindowList::PcUUTs), 1, Qt::ControlModifier);
    QCOMPARE(setup.program->window().uut_side(), DatabaseSide::PC);
    QCOMPARE(setup.program->window().current_uut().ID, std::string("73950R5WB2DQ8C"));
  }

  void resultButtonsReachTheirCommandsAndOpenTheirWindowsBesideTheMainWindow() {
    Setup setup;
    MainWindowWidget& window = setup.program->widget();
    UUT overdue;
    overdue.ID = "OVERDUE";
    overdue.CalibrationDueDate = OleDateTime(2001, 1, 1, 0, 0, 0);
    setup.program->window().pc().SaveUUT(overdue);
    QTest::mouseClick(window.connectButton(), Qt::LeftButton);
    window.resultCombo()->setCurrentIndex(window.resultCombo()->findText("PT-1"));
    QTreeView* results = window.resultsView();
    QCOMPARE(results->model()->rowCount(), 2);

    ClickRow(results, 1);
    setup.save_as.answer = setup.temp.root() + "/chosen.csv";
    QTest::mouseClick(Button(window, "exportButton"), Qt::LeftButton);
    QCOMPARE(setup.save_as.proposals.back(), HostPath("C:\\VELD\\PC\\TestResults\\PT-1_0002") + "|csv");
    QVERIFY(fs::exists(*setup.save_as.answer));
    ClickRow(results, 0, Qt::ControlModifier);
    QTest::mouseClick(Button(window, "printButton"), Qt::LeftButton);
    QCOMPARE(setup.printer.printed.size(), size_t(1));

    ClickRow(results, 0);
    QTest::mouseClick(Button(window, "chartButton"), Qt::LeftButton);
    auto* chart = window.findChild<ErrorChartWindow*>();
    QVERIFY(chart != nullptr && chart->isVisible());
    QCOMPARE(chart->findChild<QChartView*>("chartView")->chart()->title(),
             QStringLiteral("UUT PT-1 | As Found 06/14/2024 10:32: Pass"));

    QTest::mouseClick(Button(window, "historyButton"), Qt::LeftButton);
    auto* history = window.findChild<DriftHistoryWindow*>();
    QVERIFY(history != nullptr && history->isVisible());
    QCOMPARE(history->findChild<QTreeView*>("historyTable")->model()->rowCount(), 2);

    QTest::mouseClick(Button(window, "dueDatesButton"), Qt::LeftButton);
    auto* due = window.findChild<DueDatesWindow*>();
    QVERIFY(due != nullptr && due->isVisible());
    QAbstractItemModel* rows = due->findChild<QTreeView*>("dueDatesTable")->model();
    QCOMPARE(rows->rowCount(), 7);  // the PC's four UUTs, the mirror's three
    QCOMPARE(rows->index(0, 0).data().toString(), QStringLiteral("OVERDUE"));
    QVERIFY(rows->index(0, 4).data(Qt::BackgroundRole).isValid());   // overdue rows are marked
    QVERIFY(!rows->index(1, 4).data(Qt::BackgroundRole).isValid());
    due->findChild<QSpinBox*>("dueWithinBox")->setValue(5);
    QCOMPARE(due->form().within_days(), 5);
    QTest::mouseClick(due->findChild<QPushButton*>("closeButton"), Qt::LeftButton);
    QVERIFY(!due->isVisible());
    QVERIFY(window.isVisible() && setup.prompter.entries.empty());
  }

  // The File menu's UUT export and import reach the side clicked last; its "Certificate
  // header..." opens the dialog, which stays open on a problem and stores on OK.
  void fileMenuExportsImportsUUTsAndEditsTheCertificateHeader() {
    Setup setup;
    MainWindowWidget& window = setup.program->widget();
    const auto trigger = [&](const char* name) {
      auto* action = window.findChild<QAction*>(QString::fromLatin1(name));
      if (action == nullptr) qFatal("no action %s", name);
      action->trigger();
    };
    setup.save_as.answer = setup.temp.root() + "/pc.csv";
    trigger("exportUutsAction");
    const std::string csv = ReadBytes(*setup.save_as.answer);
    QVERIFY(csv.find("\r\nM\xfcller-\xb5,") != std::string::npos);
    WriteBytes(setup.temp.root() + "/in.csv", csv + "NEW-1,,,,,3WIR,24,psi,0,1,VDC,0,5,1,0.5,5000,64,0,0.001,\r\n");
    setup.open_file.answer = setup.temp.root() + "/in.csv";
    trigger("importUutsAction");
    QCOMPARE(Rows(window.listView(WindowList::PcUUTs)),
             QStringList({"73950R5WB2DQ8C", "7395R25WB2DQ8C", QString::fromUtf8("Müller-µ"), "NEW-1"}));

    setup.prompter.entries.clear();
    bool stayed_open = false;
    QTimer::singleShot(0, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr || dialog->objectName() != QStringLiteral("labHeaderDialog")) return;
      dialog->findChild<QPlainTextEdit*>("labAddressEdit")->setPlainText(QStringLiteral("1 Gauge Road\nSpringfield"));
      QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
      stayed_open = dialog->isVisible();
      dialog->findChild<QLineEdit*>("labNameEdit")->setText(QString::fromUtf8("Prüflabor"));
      QTest::mouseClick(dialog->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    trigger("certificateHeaderAction");
    QVERIFY(stayed_open);
    QCOMPARE(setup.prompter.Texts(), std::vector<std::string>{"The laboratory's name is missing."});
    QVERIFY(DesktopSettingsStore().LoadLabHeader() ==
            (LabHeader{"Pr\xfc" "flabor", {"1 Gauge Road", "Springfield"}, {}, ""}));
  }
};

}  // namespace veld::test

QTEST_MAIN(veld::test::MainWindowUiTest)
#include "main_window_ui_test.moc"
