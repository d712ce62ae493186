// veld-screenshots OUT_DIR: pictures of the desktop program's windows, grabbed from the
// real widgets on Qt's offscreen platform, over the demo calibrator volume in a scratch
// folder (the home folder and the desktop's settings are never touched). Each picture is
// for a person to look at: the README shows them, reviews compare them.

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QTreeView>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

#include "database/desktop_settings.h"
#include "reports/certificate.h"
#include "support/demo_volume.h"
#include "support/fake_window_services.h"
#include "ui/about_dialog.h"
#include "ui/desktop_program.h"
#include "ui/lab_header_dialog.h"
#include "ui/operator_dialogs.h"
#include "ui/qt_certificate_canvas.h"
#include "ui/test_profile_widgets.h"
#include "ui/uut_setup_widget.h"
#include "ui/report_dialogs.h"

namespace {
namespace fs = std::filesystem;

// The custom point entry is grabbed on its own: the profile dialog never opens it here.
class NoPointEntry : public veld::CustomPointEntry {
 public:
  bool Run(veld::CCustomProfileEntry_Dlg&) override { return false; }
};

// A UUT or test profile as the VELD database of the demo volume holds it.
veld::UUT VeldUUT(veld::CRapiTestDlg& window, const std::string& id) {
  veld::UUT uut;
  uut.ID = id;
  window.veld().LoadUUT(uut);
  return uut;
}

veld::TestProfile VeldProfile(veld::CRapiTestDlg& window, const std::string& id) {
  veld::TestProfile profile;
  profile.ID = id;
  window.veld().LoadTestProfile(profile);
  return profile;
}

// Chooses a UUT ID in the combo and selects the results list's rows of the given files.
void SelectResults(veld::MainWindowWidget& window, const QString& uut, const QStringList& files) {
  window.resultCombo()->setCurrentIndex(window.resultCombo()->findText(uut));
  QAbstractItemModel* rows = window.resultsView()->model();
  window.resultsView()->clearSelection();
  for (int row = 0; row < rows->rowCount(); ++row) {
    if (files.contains(rows->index(row, 3).data().toString())) {
      window.resultsView()->selectionModel()->select(rows->index(row, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
}

// The report window that the last command opened.
template <typename Window>
Window& Opened(veld::MainWindowWidget& window) {
  const QList<Window*> windows = window.findChildren<Window*>();
  if (windows.isEmpty()) throw std::runtime_error("no report window opened");
  return *windows.back();
}

// Saves a picture as OUT_DIR/name.png and says so.
bool Save(const QImage& picture, const QString& out_dir, const char* name) {
  const QString path = QDir(out_dir).filePath(QString::fromLatin1(name) + ".png");
  const bool saved = picture.save(path);
  std::printf("%s %s\n", saved ? "wrote" : "could not write", path.toLocal8Bit().constData());
  return saved;
}

// Shows a widget offscreen, lets it lay itself out, and saves it as OUT_DIR/name.png.
bool Grab(QWidget& widget, const QString& out_dir, const char* name) {
  widget.show();
  QApplication::processEvents();
  return Save(widget.grab().toImage(), out_dir, name);
}

// Messages would need a user; the pictures need none.
class SilentPrompter : public veld::Prompter {
 public:
  void Message(const std::string&, veld::MessageIcon) override {}
  bool AskYesNo(const std::string&) override { return false; }
};

// A round blue logo with a pointer, as a laboratory might have one.
std::string WriteDemoLogo(const fs::path& folder) {
  QImage logo(240, 160, QImage::Format_ARGB32);
  logo.fill(Qt::transparent);
  QPainter painter(&logo);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setBrush(QColor(20, 70, 160));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QRectF(40, 0, 160, 160));
  painter.setPen(QPen(Qt::white, 10, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(120, 80), QPointF(170, 40));
  painter.end();
  const std::string path = (folder / "logo.png").string();
  logo.save(QString::fromStdString(path));
  return path;
}

// A certificate page on a paper with its quarter-inch margins, drawn at 200 dpi as a
// printer would and shown at 100 dpi.
bool GrabCertificate(const veld::TestResults& as_found, const veld::TestResults& as_left, double factor,
                     const veld::CertificateIssue& issue, double width_mm, double height_mm, const QString& out_dir,
                     const char* name) {
  constexpr int kDpi = 200;
  constexpr double kMarginMm = 6.35;
  QImage page(static_cast<int>(width_mm / 25.4 * kDpi), static_cast<int>(height_mm / 25.4 * kDpi),
              QImage::Format_RGB32);
  page.setDotsPerMeterX(static_cast<int>(kDpi / 0.0254 + 0.5));
  page.setDotsPerMeterY(static_cast<int>(kDpi / 0.0254 + 0.5));
  page.fill(Qt::white);
  const int margin = static_cast<int>(kMarginMm / 25.4 * kDpi);
  QImage printable = page.copy(margin, margin, page.width() - 2 * margin, page.height() - 2 * margin);
  {
    QPainter painter(&printable);
    veld::QtCertificateCanvas canvas(painter);
    SilentPrompter prompter;
    veld::DrawCertificate(canvas, as_found, as_left, factor, prompter, issue);
  }
  {
    QPainter painter(&page);
    painter.drawImage(margin, margin, printable);
    painter.setPen(QColor(200, 200, 200));
    painter.drawRect(page.rect().adjusted(0, 0, -1, -1));  // the paper's edge
  }
  return Save(page.scaled(page.size() / 2, Qt::KeepAspectRatio, Qt::SmoothTransformation), out_dir, name);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: veld-screenshots OUT_DIR\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const fs::path scratch = fs::temp_directory_path() / ("veld-screenshots-" + std::to_string(getpid()));
  fs::create_directories(scratch / "root");
  fs::create_directories(scratch / "tables");
  veld::demo::WriteDemoVolume((scratch / "device").string(), (scratch / "tables").string());
  setenv("VELD_ROOT", (scratch / "root").c_str(), 1);  // the volume's tables were made elsewhere
  setenv("VELD_DEVICE", (scratch / "device").c_str(), 1);

  int status = 0;
  {
    QApplication application(argc, argv);
    veld::UseProgramIcon();
    const QString out_dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out_dir);

    veld::test::MemoryFolderStore store;
    veld::DesktopOverrides overrides;
    overrides.calibrator_folder = &store;
    veld::DesktopProgram program(overrides);
    if (!program.StartUp()) return 3;
    veld::MainWindowWidget& window = program.widget();
    window.show();
    program.window().OnConnect();
    window.resultCombo()->setCurrentIndex(window.resultCombo()->findText(QStringLiteral("PT-1001")));
    window.resultsView()->selectionModel()->select(window.resultsView()->model()->index(0, 0),
                                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const std::vector<std::string>& window_profiles = program.window().list(veld::WindowList::VeldProfiles).items;
    // A laboratory header as the "Certificate header..." dialog stores it.
    veld::DesktopSettingsStore settings;
    settings.SaveLabHeader({"Northfield Pressure Calibration Ltd",
                         {"Unit 4, Riverside Industrial Park", "Northfield NF3 2QP"},
                         {"Accredited calibration laboratory No. 0417"},
                         ""},
                        WriteDemoLogo(scratch));
    const veld::LabHeader header = settings.LoadLabHeader();
    const std::string logo = settings.LogoHostPath(header);
    const std::function<bool()> shots[] = {
        [&] { return Grab(window, out_dir, "main-window"); },
        [&] {
          veld::AboutDialog about(&window);
          return Grab(about, out_dir, "about");
        },
        [&] {
          veld::PasswordEntryForm form(veld::kPrintingPrompt);
          veld::PasswordEntryDialog entry(form, &window);
          return Grab(entry, out_dir, "password-entry");
        },
        [&] {
          veld::AdministratorChecks checks;
          veld::PasswordConfigureForm form(checks);
          veld::AdministratorSettingsDialog administrator(form, &window);
          return Grab(administrator, out_dir, "administrator-settings");
        },
        [&] {
          veld::UUT uut = VeldUUT(program.window(), "PT-1001");
          veld::UUTSetupDlg form(program.window().pc().prompter());
          form.Open(uut, window_profiles, true, program.window().veld());
          veld::UUTSetupWidget dialog(form, &window);
          return Grab(dialog, out_dir, "uut-setup-curr");
        },
        [&] {
          veld::UUT uut = VeldUUT(program.window(), "PS-4001");
          veld::UUTSetupDlg form(program.window().pc().prompter());
          form.Open(uut, window_profiles, true, program.window().veld());
          form.OnSwitchClicked(veld::UUTSetupDlg::SwitchRow::Open);
          veld::UUTSetupWidget dialog(form, &window);
          return Grab(dialog, out_dir, "uut-setup-pswitch");
        },
        [&] {
          veld::UUT uut = VeldUUT(program.window(), "PT-1001");
          veld::TestProfile profile = VeldProfile(program.window(), "Custom-4");
          NoPointEntry entry;
          veld::TPSetupDlg form(program.window().pc().prompter(), entry);
          form.Open(profile, uut, program.window().veld(), true);
          veld::TPSetupWidget dialog(form, &window);
          return Grab(dialog, out_dir, "test-profile-setup-custom");
        },
        [&] {
          veld::UUT uut = VeldUUT(program.window(), "PT-1001");
          veld::CCustomProfileEntry_Dlg form(program.window().pc().prompter());
          form.Open(75.0, 3, uut);
          veld::CustomProfileEntryWidget dialog(form, &window);
          return Grab(dialog, out_dir, "custom-point-entry");
        },
        [&] {
          // PT-1002's pair of 2023: the As Found out of tolerance, the legs of "Both" apart.
          SelectResults(window, QStringLiteral("PT-1002"), {"PT-1002_0008.DAT", "PT-1002_0009.DAT"});
          program.window().OnChart();
          return Grab(Opened<veld::ErrorChartWindow>(window), out_dir, "error-chart");
        },
        [&] {
          program.window().OnHistory();
          return Grab(Opened<veld::DriftHistoryWindow>(window), out_dir, "drift-history");
        },
        [&] {
          // A fixed day, and two more UUTs on the PC: one due soon, one later.
          program.window().SetClock([] { return veld::OleDateTime(2025, 7, 15, 9, 0, 0); });
          for (const auto& [id, due] : {std::pair{"FT-5001", veld::OleDateTime(2025, 8, 1, 0, 0, 0)},
                                        {"LT-6001", veld::OleDateTime(2026, 3, 31, 0, 0, 0)}}) {
            veld::UUT uut;
            uut.ID = id;
            uut.CalibrationDueDate = due;
            program.window().pc().SaveUUT(uut);
          }
          program.window().OnDueDates();
          return Grab(Opened<veld::DueDatesWindow>(window), out_dir, "due-dates");
        },
        [&] {
          QMenu* file = window.findChild<QMenuBar*>()->actions().front()->menu();
          file->popup(window.mapToGlobal(QPoint(0, 0)));
          const bool grabbed = Grab(*file, out_dir, "file-menu");
          file->hide();
          return grabbed;
        },
        [&] {
          SilentPrompter prompter;
          veld::LabHeaderForm form(header, logo);
          veld::LabHeaderDialog dialog(form, prompter, &window);
          return Grab(dialog, out_dir, "certificate-header");
        },
        [&] {
          veld::TestResults as_found, as_left;
          program.window().pc().ReadTestResults(as_found, "C:\\VELD\\PC\\TestResults\\PT-1001_0001.DAT");
          program.window().pc().ReadTestResults(as_left, "C:\\VELD\\PC\\TestResults\\PT-1001_0002.DAT");
          const double factor = program.window().pc().GetUnitFactor(as_found.Uut.InputUnits);
          veld::CertificateIssue issue{header, logo, 1024};
          return GrabCertificate(as_found, as_left, factor, issue, 215.9, 279.4, out_dir, "certificate-letter") &&
                 GrabCertificate(as_found, as_left, factor, issue, 210.0, 297.0, out_dir, "certificate-a4");
        },
    };
    for (const auto& shot : shots) {
      if (!shot()) status = 1;
    }
  }
  std::error_code ec;
  fs::remove_all(scratch, ec);
  return status;
}
