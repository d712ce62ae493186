#pragma once
// Models for the window's lists over the rows the window's state holds: a list of IDs and
// the results list's four columns. Texts are 8-bit (Latin-1) and become Qt text only when
// a row is drawn, so that a list of thousands of rows fills at once.

#include <QAbstractItemModel>
#include <string>
#include <vector>

#include "database/results_index.h"

namespace veld {

class IdListModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;
  void SetIds(const std::vector<std::string>& ids);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  std::vector<std::string> ids_;
};

class ResultRowModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;
  void SetRows(const std::vector<ResultRow>& rows);
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  std::vector<ResultRow> rows_;
};

}  // namespace veld
