#pragma once

#include <QAbstractTableModel>

#include "studies/ResultTable.h"

namespace quantaro {

// A study's result table as a view shows it, the columns' names as the
// header and every cell as plain text.
class ResultTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(ResultTable table);
    const ResultTable& table() const { return table_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    ResultTable table_;
};

}  // namespace quantaro
