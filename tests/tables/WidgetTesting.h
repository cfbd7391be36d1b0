#pragma once

#include <QApplication>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "tables/NameTableModel.h"

namespace quantaro::testing {

// Waits until a window that was just shown is active and makes sure its
// widgets receive the keys: the offscreen platform keeps a hidden window as
// its focus window, so a window shown again is not reactivated for them.
inline void MakeActive(QWidget& window) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    if (QApplication::activeWindow() != &window) QApplication::setActiveWindow(&window);
}

// Clicks a cell of a grid; row is the table row (1 is the first data row).
inline void ClickCell(QTableView* grid, int row, int column = 0) {
    const QModelIndex index = grid->model()->index(NameTableModel::gridRow(row), column);
    grid->scrollTo(index);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(index).center());
}

}  // namespace quantaro::testing
