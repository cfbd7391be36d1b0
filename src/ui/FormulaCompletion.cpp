#include "ui/FormulaCompletion.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTreeWidget>

#include "engine/OperatorRegistry.h"
#include "interaction/HintSet.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "session/Session.h"
#include "tables/NameCompletions.h"
#include "ui/FormulaEditor.h"

namespace quantaro {
namespace {

constexpr int kVisibleRows = 10;

bool IsChoosingKey(int key) {
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End:
            return true;
        default:
            return false;
    }
}

bool IsAcceptingKey(int key) {
    return key == Qt::Key_Tab || key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

FormulaCompletion::FormulaCompletion(QPlainTextEdit* memo, FormulaEditor& editor,
                                     const Session& session, UserInteraction& interaction)
    : memo_(memo),
      editor_(editor),
      session_(session),
      interaction_(interaction),
      list_(new QTreeWidget(memo)) {
    list_->setObjectName(QStringLiteral("CompletionList"));
    list_->setWindowFlags(Qt::Popup);
    list_->setColumnCount(4);
    list_->setHeaderLabels({tr("Name"), tr("Value"), tr("Units"), tr("Kind")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setTextElideMode(Qt::ElideRight);
    list_->header()->setStretchLastSection(false);
    list_->setFont(memo->font());
    list_->installEventFilter(this);
    connect(list_, &QTreeWidget::itemClicked, this, &FormulaCompletion::accept);
}

bool FormulaCompletion::isOpen() const {
    return list_->isVisible();
}

void FormulaCompletion::open() {
    if (!fill()) {
        interaction_.beep();
        return;
    }
    place();
    list_->show();
    list_->setFocus(Qt::PopupFocusReason);
}

bool FormulaCompletion::fill() {
    word_ = editor_.wordBeforeCaret();
    const auto completions =
        CompletionsFor(word_, session_.constants(), session_.variables(), Operators());
    list_->clear();
    for (const NameCompletion& completion : completions) {
        auto* item = new QTreeWidgetItem(
            list_, {completion.name, completion.value, completion.units, completion.kind});
        // The whole value, which the column may cut short; it is the user's
        // text, so never read as markup.
        item->setToolTip(1, ToolTipText(completion.value));
    }
    if (completions.empty()) return false;
    list_->setCurrentItem(list_->topLevelItem(0));
    return true;
}

void FormulaCompletion::place() {
    for (int column = 0; column < list_->columnCount(); ++column) {
        list_->resizeColumnToContents(column);
        list_->setColumnWidth(column, std::min(list_->columnWidth(column), 240));
    }
    const int rows = std::min(list_->topLevelItemCount(), kVisibleRows);
    const int rowHeight = list_->sizeHintForRow(0);
    const int width = list_->header()->length() + 2 * list_->frameWidth() + 20;
    const int height = list_->header()->height() + rows * rowHeight + 2 * list_->frameWidth();
    const QSize size(width, height);
    const QRect caret = memo_->cursorRect();
    QPoint at = memo_->viewport()->mapToGlobal(caret.bottomLeft());
    if (const QScreen* screen = memo_->screen()) {
        const QRect available = screen->availableGeometry();
        // Above the caret where there is no room below it.
        if (at.y() + height > available.bottom() + 1) {
            at.setY(memo_->viewport()->mapToGlobal(caret.topLeft()).y() - height);
        }
        at = KeptOnScreen(at, size, available);
    }
    list_->setGeometry(QRect(at, size));
}

void FormulaCompletion::accept() {
    const QTreeWidgetItem* item = list_->currentItem();
    close();
    if (item) editor_.InsertCompletion(item->text(0), static_cast<int>(word_.size()));
}

void FormulaCompletion::close() {
    list_->hide();
    memo_->setFocus();
}

bool FormulaCompletion::eventFilter(QObject* watched, QEvent* event) {
    if (watched != list_) return false;
    if (event->type() == QEvent::KeyRelease) {
        // The editor sees every key come up that it saw go down.
        QCoreApplication::sendEvent(memo_, event);
        return true;
    }
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (IsChoosingKey(key)) return false;
    if (IsAcceptingKey(key)) {
        accept();
    } else if (key == Qt::Key_Escape) {
        close();
    } else {
        // Typing goes on in the editor, recorded as typing is.
        QCoreApplication::sendEvent(memo_, event);
        if (fill()) {
            place();
        } else {
            close();
        }
    }
    return true;
}

}  // namespace quantaro
