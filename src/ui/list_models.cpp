#include "ui/list_models.h"

#include <iterator>

#include "app/main_window_texts.h"
#include "ui/latin1.h"

namespace veld {

void IdListModel::SetIds(const std::vector<std::string>& ids) {
  beginResetModel();
  ids_ = ids;
  endResetModel();
}

int IdListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

QVariant IdListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
    return Latin1(ids_[static_cast<size_t>(index.row())]);
  }
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

void ResultRowModel::SetRows(const std::vector<ResultRow>& rows) {
  beginResetModel();
  rows_ = rows;
  endResetModel();
}

int ResultRowModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ResultRowModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(std::size(kResultColumns));
}

QVariant ResultRowModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
  const ResultRow& row = rows_[static_cast<size_t>(index.row())];
  const std::string* text = nullptr;
  switch (index.column()) {
    case 0: text = &row.date_time_tested; break;
    case 1: text = &row.kind; break;
    case 2: text = &row.verdict; break;
    default: text = &row.file_name; break;
  }
  return Latin1(*text);
}

QVariant ResultRowModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return QString::fromLatin1(kResultColumns[section].heading);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
  return {};
}

}  // namespace veld
