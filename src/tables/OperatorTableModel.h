#pragma once

#include <QAbstractTableModel>

#include "engine/OperatorRegistry.h"

class QAbstractItemView;

namespace quantaro {

// Shows the operators in the operator grid, read-only: the heading
// "Operator", "Operands", then one row per operator in the registry's
// order, its name and its operand count.
class OperatorTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit OperatorTableModel(const OperatorRegistry& operators, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The name of the grid's current operator; the first while it has none.
    QString selectedName(const QAbstractItemView* grid) const;

  private:
    QString name(int gridRow) const;

    const OperatorRegistry& operators_;
};

}  // namespace quantaro
