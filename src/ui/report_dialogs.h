#pragma once
// The windows that the Chart, History and Due dates buttons open beside the main window:
// a chart, a chart with the history table under it, and the due dates table. Each shows
// what the reports built; the due dates window lists its form again when the days change.

#include <QDialog>
#include <QPointer>
#include <vector>

#include "app/due_dates_form.h"
#include "app/report_windows.h"
#include "reports/chart_data.h"
#include "reports/drift_history.h"

namespace veld {

class TextRowsModel;

class ErrorChartWindow : public QDialog {
  Q_OBJECT
 public:
  ErrorChartWindow(const ChartData& chart, QWidget* parent = nullptr);
};

class DriftHistoryWindow : public QDialog {
  Q_OBJECT
 public:
  DriftHistoryWindow(const ChartData& chart, const std::vector<HistoryRow>& rows, QWidget* parent = nullptr);
};

class DueDatesWindow : public QDialog {
  Q_OBJECT
 public:
  DueDatesWindow(DueDatesForm form, QWidget* parent = nullptr);
  const DueDatesForm& form() const { return form_; }

 private:
  void ShowRows();

  DueDatesForm form_;
  TextRowsModel* model_ = nullptr;
};

// Each window opens beside the main window, which stays usable, and is deleted when closed.
class QtReportWindows : public ReportWindows {
 public:
  explicit QtReportWindows(QWidget* parent) : parent_(parent) {}
  void ShowErrorChart(const ChartData& chart) override;
  void ShowDriftHistory(const ChartData& chart, const std::vector<HistoryRow>& rows) override;
  void ShowDueDates(DueDatesForm form) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace veld
