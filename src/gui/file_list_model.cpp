#include "gui/file_list_model.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <functional>
#include <utility>

namespace lumatra {

namespace {

bool LessIgnoringCase(const QString& a, const QString& b) {
  return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

}  // namespace

int FileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(paths_.size());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= paths_.size()) return {};
  return QDir::toNativeSeparators(paths_.at(index.row()));
}

int FileListModel::Add(const QStringList& paths) {
  // Listed paths come first and the sort is stable, so of two names that differ only in case
  // the one already listed (or selected first) stays.
  QStringList merged = paths_ + paths;
  std::stable_sort(merged.begin(), merged.end(), LessIgnoringCase);
  const auto equal = [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
  };
  merged.erase(std::unique(merged.begin(), merged.end(), equal), merged.end());
  const int added = static_cast<int>(merged.size() - paths_.size());
  if (added == 0) return 0;
  beginResetModel();
  paths_ = std::move(merged);
  endResetModel();
  return added;
}

void FileListModel::Clear() {
  beginResetModel();
  paths_.clear();
  endResetModel();
}

void FileListModel::RemoveFirst() {
  if (paths_.isEmpty()) return;
  beginRemoveRows({}, 0, 0);
  paths_.removeFirst();
  endRemoveRows();
}

void FileListModel::RemoveRows(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end(), std::greater<>());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (int row : rows) {
    if (row < 0 || row >= paths_.size()) continue;
    beginRemoveRows({}, row, row);
    paths_.removeAt(row);
    endRemoveRows();
  }
}

std::vector<std::string> FileListModel::NativePaths() const {
  std::vector<std::string> native;
  native.reserve(static_cast<std::size_t>(paths_.size()));
  for (const QString& path : paths_)
    native.push_back(QFile::encodeName(QDir::toNativeSeparators(path)).toStdString());
  return native;
}

}  // namespace lumatra
