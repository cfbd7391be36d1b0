#include "studywindows/SweepTableModel.h"

#include <string_view>
#include <utility>

namespace quantaro {
namespace {

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void SweepTableModel::setResults(SweepResults results) {
    beginResetModel();
    results_ = std::move(results);
    endResetModel();
}

int SweepTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(results_.size());
}

int SweepTableModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(2 + results_.inputNames().size() + results_.outputNames().size());
}

QVariant SweepTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const auto inputs = static_cast<int>(results_.inputNames().size());
    const auto outputs = static_cast<int>(results_.outputNames().size());
    const int column = index.column();
    if (column == 0) return QString::number(results_.pointNumber(row));
    if (column <= inputs) return Text(results_.input(row, std::size_t(column - 1)));
    if (column <= inputs + outputs) {
        return Text(results_.output(row, std::size_t(column - 1 - inputs)));
    }
    return Text(results_.message(row));
}

QVariant SweepTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    const auto inputs = static_cast<int>(results_.inputNames().size());
    const auto outputs = static_cast<int>(results_.outputNames().size());
    if (section == 0) return QStringLiteral("Point");
    if (section <= inputs) {
        return QString::fromStdString(results_.inputNames()[std::size_t(section - 1)]);
    }
    if (section <= inputs + outputs) {
        return QString::fromStdString(results_.outputNames()[std::size_t(section - 1 - inputs)]);
    }
    return QStringLiteral("Message");
}

}  // namespace quantaro
