#include "studywindows/ResultTableModel.h"

#include <utility>

namespace quantaro {

void ResultTableModel::setTable(ResultTable table) {
    beginResetModel();
    table_ = std::move(table);
    endResetModel();
}

int ResultTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.rowCount());
}

int ResultTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.columnCount());
}

QVariant ResultTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    const std::string& text = table_.cell(static_cast<std::size_t>(index.row()),
                                          static_cast<std::size_t>(index.column()));
    return QString::fromStdString(text);
}

QVariant ResultTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        static_cast<std::size_t>(section) >= table_.columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromStdString(table_.columns()[static_cast<std::size_t>(section)]);
}

}  // namespace quantaro
