#include "ui/MainWindowLayout.h"

#include <QEvent>
#include <QTableView>

#include <algorithm>

namespace quantaro {
namespace {

constexpr int kValueColumn = 1;
constexpr int kUnitsColumn = 2;

}  // namespace

MainWindowGeometry MainWindowGeometry::forClient(QSize client) {
    const int extraWidth = std::max(0, client.width() - kSmallestClient.width());
    const int extraHeight = std::max(0, client.height() - kSmallestClient.height());
    // The grids above and the editor below share the extra height; the two
    // tables share the grids' part.
    const int gridsExtra = extraHeight / 2;
    const int constantsExtra = gridsExtra / 2;
    const int valueExtra = extraWidth - extraWidth / 3;

    MainWindowGeometry geometry;
    geometry.operators = QRect(8, 8, 169, 249 + gridsExtra);
    geometry.constants = QRect(272, 8, 353 + extraWidth, 121 + constantsExtra);
    geometry.variables =
        QRect(272, 136 + constantsExtra, 353 + extraWidth, 121 + gridsExtra - constantsExtra);
    geometry.label = QPoint(8, 264 + gridsExtra);
    geometry.formula = QRect(8, 280 + gridsExtra, 617 + extraWidth, 121 + extraHeight - gridsExtra);
    geometry.valueExtra = valueExtra;
    geometry.unitsExtra = extraWidth - valueExtra;
    return geometry;
}

void MainWindowLayout::Columns::widen(const MainWindowGeometry& geometry) const {
    grid->setColumnWidth(kValueColumn, valueWidth + geometry.valueExtra);
    grid->setColumnWidth(kUnitsColumn, unitsWidth + geometry.unitsExtra);
}

// The columns' widths as the grids were made are their widths at the
// smallest size.
MainWindowLayout::MainWindowLayout(QWidget* client, const Controls& controls)
    : QObject(client),
      client_(client),
      controls_(controls),
      constantColumns_{controls.constants, controls.constants->columnWidth(kValueColumn),
                       controls.constants->columnWidth(kUnitsColumn)},
      variableColumns_{controls.variables, controls.variables->columnWidth(kValueColumn),
                       controls.variables->columnWidth(kUnitsColumn)} {
    client->setMinimumSize(MainWindowGeometry::kSmallestClient);
    client->installEventFilter(this);
    place(client->size());
}

bool MainWindowLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize) place(client_->size());
    return false;
}

void MainWindowLayout::place(QSize client) {
    const MainWindowGeometry geometry = MainWindowGeometry::forClient(client);
    controls_.operators->setGeometry(geometry.operators);
    controls_.constants->setGeometry(geometry.constants);
    constantColumns_.widen(geometry);
    controls_.variables->setGeometry(geometry.variables);
    variableColumns_.widen(geometry);
    controls_.label->move(geometry.label);
    controls_.formula->setGeometry(geometry.formula);
}

}  // namespace quantaro
