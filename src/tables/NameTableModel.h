#pragma once

#include <QAbstractTableModel>

class QAbstractItemView;

#include "engine/NameTable.h"

namespace quantaro {

// Shows a NameTable in a grid: the table's row 0 is the grid's heading and
// the data rows 1 to rowCount() - 1 are the grid's rows, so the table's last
// row, the hidden slot, is never shown. The table stays the data; the model
// only reads it and reports changes.
class NameTableModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // A grid whose cells setCellText may write.
    explicit NameTableModel(NameTable& table, QObject* parent = nullptr);
    // A grid that only shows its table, as the operator grid does.
    explicit NameTableModel(const NameTable& table, QObject* parent = nullptr);

    const NameTable& table() const { return table_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Table row of a grid row and back (grid row 0 is table row 1).
    static int tableRow(int gridRow) { return gridRow + 1; }
    static int gridRow(int tableRow) { return tableRow - 1; }

    // The table row of a grid's current cell; row 1 while it has none.
    static int selectedRow(const QAbstractItemView* grid);

    QString cellText(int column, int row) const;
    // Writes one cell and redraws it; a grid that only shows its table
    // ignores the write.
    void setCellText(int column, int row, const QString& text);
    // Redraws the heading and every cell after the table was changed directly.
    void refresh();

  private:
    const NameTable& table_;
    NameTable* writable_ = nullptr;
};

// What a grid shows of a cell: a grid lays out the whole text of every cell
// it draws, so a cell of megabytes would take seconds to draw each time. A
// longer cell shows its start and "…"; the table keeps every byte.
inline constexpr std::size_t kShownCellBytes = 1000;
QString ShownCellText(std::string_view cell);

}  // namespace quantaro
