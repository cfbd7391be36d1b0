#include "tables/NameTableModel.h"

#include <QAbstractItemView>

namespace quantaro {

QString ShownCellText(std::string_view cell) {
    if (cell.size() <= kShownCellBytes)
        return QString::fromUtf8(cell.data(), qsizetype(cell.size()));
    std::size_t cut = kShownCellBytes;
    while (cut > 0 && (static_cast<unsigned char>(cell[cut]) & 0xC0) == 0x80)
        --cut;  // whole characters
    return QString::fromUtf8(cell.data(), qsizetype(cut)) + QChar(0x2026);
}

NameTableModel::NameTableModel(NameTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table), writable_(&table) {}

NameTableModel::NameTableModel(const NameTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

int NameTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.rowCount() - 1;
}

int NameTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : table_.columnCount();
}

QVariant NameTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    return ShownCellText(table_.cell(index.column(), tableRow(index.row())));
}

QVariant NameTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= table_.columnCount()) return {};
    return cellText(section, 0);
}

int NameTableModel::selectedRow(const QAbstractItemView* grid) {
    const QModelIndex current = grid->currentIndex();
    return tableRow(current.isValid() ? current.row() : 0);
}

QString NameTableModel::cellText(int column, int row) const {
    return QString::fromStdString(table_.cell(column, row));
}

void NameTableModel::setCellText(int column, int row, const QString& text) {
    if (!writable_) return;
    writable_->setCell(column, row, text.toStdString());
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, column, column);
    } else if (row < table_.rowCount()) {
        QModelIndex changed = index(gridRow(row), column);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

void NameTableModel::refresh() {
    emit headerDataChanged(Qt::Horizontal, 0, table_.columnCount() - 1);
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

}  // namespace quantaro
