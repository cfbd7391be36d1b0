#include "ui/VariableValueEditor.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

#include "engine/Numbers.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "session/Session.h"
#include "tables/NameTableModel.h"

namespace quantaro {
namespace {

bool IsNumber(const QString& text) {
    return IsNumberText(text.toStdString());
}

}  // namespace

VariableValueEditor::VariableValueEditor(QLineEdit* editVariable, Grids grids, Session& session,
                                         UserInteraction& interaction, QWidget* owner)
    : edit_(editVariable),
      grids_(grids),
      session_(session),
      interaction_(interaction),
      owner_(owner) {
    SetSignalColours(edit_, Qt::blue);
    edit_->hide();
    edit_->installEventFilter(this);
    connect(edit_, &QLineEdit::textChanged, this, &VariableValueEditor::EditVariableChange);
    // An open editor follows its row as the grid scrolls, moves or resizes.
    QTableView* grid = grids_.variables;
    grid->installEventFilter(this);
    connect(grid->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &VariableValueEditor::placeOverSelectedRow);
    connect(grid->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &VariableValueEditor::placeOverSelectedRow);
    connect(grid->horizontalHeader(), &QHeaderView::sectionResized, this,
            &VariableValueEditor::placeOverSelectedRow);
}

// Over the value cell of the selected row, as wide as the column, its
// middle on the row's and kept below the heading.
void VariableValueEditor::placeOverSelectedRow() {
    const QTableView* grid = grids_.variables;
    const QModelIndex cell =
        grid->model()->index(NameTableModel::gridRow(selectedVariableRow()), ValueColumn);
    const QRect rect = grid->visualRect(cell);
    const int height = edit_->height();
    const int top = std::clamp(rect.center().y() - height / 2, 0,
                               std::max(0, grid->viewport()->height() - height));
    const QPoint at = grid->viewport()->mapTo(edit_->parentWidget(), QPoint(rect.left(), top));
    edit_->setGeometry(at.x(), at.y(), rect.width(), height);
}

int VariableValueEditor::selectedVariableRow() const {
    return NameTableModel::selectedRow(grids_.variables);
}

void VariableValueEditor::writeValue(int row, const QString& text) {
    session_.setCell(Document::Variables, ValueColumn, row, text.toStdString());
}

void VariableValueEditor::StringGridVariablesClick() {
    const int row = selectedVariableRow();
    if (grids_.variableModel.cellText(NameColumn, row).isEmpty()) return;
    const QString value = grids_.variableModel.cellText(ValueColumn, row);
    // The editor would cut a longer value short and store what is left.
    if (value.size() > edit_->maxLength()) {
        interaction_.beep();
        return;
    }
    placeOverSelectedRow();
    edit_->show();
    if (edit_->text() != value) edit_->setText(value);
    edit_->setFocus();
    SetTextColour(edit_, QColor(0, 0, 255));
}

void VariableValueEditor::EditVariableChange(const QString& text) {
    if (IsNumber(text)) {
        writeValue(selectedVariableRow(), text);
        SetTextColour(edit_, QColor(0, 255, 0));
    } else {
        SetTextColour(edit_, QColor(255, 0, 0));
    }
}

void VariableValueEditor::EditVariableExit() {
    // Hiding the editor takes its focus away, which would commit again.
    if (committing_ || edit_->isHidden()) return;
    committing_ = true;
    if (IsNumber(edit_->text())) {
        writeValue(selectedVariableRow(), edit_->text());
    } else {
        interaction_.beep();
    }
    edit_->hide();
    committing_ = false;
}

void VariableValueEditor::ButtonTransferClick() {
    const int constantRow = NameTableModel::selectedRow(grids_.constants);
    const int variableRow = selectedVariableRow();
    const NameTableModel& constants = grids_.constantModel;
    const NameTableModel& variables = grids_.variableModel;
    const QString constantName = constants.cellText(NameColumn, constantRow);
    const QString variableName = variables.cellText(NameColumn, variableRow);
    const QString constantValue = constants.cellText(ValueColumn, constantRow);

    if (constantValue.isEmpty()) {
        interaction_.showInformation(owner_, QStringLiteral("The selected constant is blank "));
        return;
    }
    if (variables.cellText(ValueColumn, variableRow).isEmpty()) {
        interaction_.showInformation(owner_, QStringLiteral("The selected variable is blank "));
        return;
    }
    const bool unitsMatch = constants.cellText(UnitsColumn, constantRow) ==
                            variables.cellText(UnitsColumn, variableRow);
    const BoxAnswer answer =
        unitsMatch ? interaction_.showBox(
                         owner_, BoxKind::Confirmation,
                         QStringLiteral("Transfer %1 to %2?").arg(constantName, variableName),
                         BoxButtons::YesNo)
                   : interaction_.showBox(
                         owner_, BoxKind::Warning,
                         QStringLiteral("The units do not match!  Transfer %1 to %2 anyway?")
                             .arg(constantName, variableName),
                         BoxButtons::YesNo);
    if (answer != BoxAnswer::Yes) return;

    writeValue(variableRow, constantValue);
    if (edit_->text() != constantValue) edit_->setText(constantValue);
    placeOverSelectedRow();
    edit_->show();
}

void VariableValueEditor::dismiss() {
    if (edit_->isHidden()) return;
    // Hiding takes the focus away, which must not commit.
    committing_ = true;
    edit_->hide();
    committing_ = false;
}

bool VariableValueEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grids_.variables) {
        const bool placed = event->type() == QEvent::Move || event->type() == QEvent::Resize;
        if (placed && edit_->isVisible()) placeOverSelectedRow();
        return false;
    }
    if (watched != edit_) return false;
    if (event->type() == QEvent::FocusOut) {
        // Opening a menu or switching to another application leaves the
        // editor where it is.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            EditVariableExit();
        }
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            EditVariableExit();
            return true;
        }
    }
    return false;
}

}  // namespace quantaro
