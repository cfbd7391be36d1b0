#include "tables/OperatorTableModel.h"

#include <QAbstractItemView>

namespace quantaro {
namespace {

constexpr int kColumns = 2;  // the name, the operand count

}  // namespace

OperatorTableModel::OperatorTableModel(const OperatorRegistry& operators, QObject* parent)
    : QAbstractTableModel(parent), operators_(operators) {}

int OperatorTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(operators_.size());
}

int OperatorTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString OperatorTableModel::name(int gridRow) const {
    const std::string_view text = operators_.all()[static_cast<std::size_t>(gridRow)].name;
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QVariant OperatorTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= rowCount()) return {};
    if (index.column() == 0) return name(index.row());
    return QString::number(operators_.all()[static_cast<std::size_t>(index.row())].operandCount);
}

QVariant OperatorTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section == 0) return QStringLiteral("Operator");
    if (section == 1) return QStringLiteral("Operands");
    return {};
}

QString OperatorTableModel::selectedName(const QAbstractItemView* grid) const {
    const QModelIndex current = grid->currentIndex();
    return name(current.isValid() ? current.row() : 0);
}

}  // namespace quantaro
