// The files waiting to be converted, as the main window's list shows them: full paths, sorted
// without regard to case, never two that differ only in case.
#pragma once

#include <QAbstractListModel>
#include <QStringList>
#include <string>
#include <vector>

namespace lumatra {

class FileListModel : public QAbstractListModel {
 public:
  using QAbstractListModel::QAbstractListModel;

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // Adds the paths not yet listed; returns how many were added.
  int Add(const QStringList& paths);
  void Clear();
  void RemoveFirst();
  void RemoveRows(std::vector<int> rows);

  const QStringList& Paths() const { return paths_; }
  // The paths as the file system names them, for the conversion.
  std::vector<std::string> NativePaths() const;

 private:
  QStringList paths_;
};

}  // namespace lumatra
