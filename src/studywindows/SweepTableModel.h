#pragma once

#include <QAbstractTableModel>

#include "studies/Sweep.h"

namespace quantaro {

// A sweep's results as a table: the point's number, the inputs, the outputs
// and "Message". Cells are read from the results as they are drawn, so that
// a hundred thousand points cost no more than the rows in view.
class SweepTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    using QAbstractTableModel::QAbstractTableModel;

    void setResults(SweepResults results);
    const SweepResults& results() const { return results_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    SweepResults results_;
};

}  // namespace quantaro
