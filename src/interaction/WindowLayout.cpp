#include "interaction/WindowLayout.h"

#include <algorithm>
#include <limits>

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QWidget>

#include "interaction/ReadableColours.h"
#include "interaction/UserSettings.h"

namespace quantaro {

void PlaceAt(QWidget* control, int left, int top) {
    control->adjustSize();
    control->move(left, top);
}

QFont FixedPitchFont(int pixelHeight, bool bold) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(pixelHeight);
    font.setBold(bold);
    // Common fixed-pitch faces are wider than the classic system fonts the
    // column widths were made for.
    font.setStretch(72);
    return font;
}

QFont CaptionFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(11);
    font.setStretch(QFont::SemiCondensed);
    return font;
}

void SetUpGrid(QTableView* grid, QAbstractItemModel* model,
               QAbstractItemView::SelectionBehavior selects, const QFont& font,
               std::initializer_list<int> columnWidths) {
    grid->setModel(model);
    grid->setSelectionBehavior(selects);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setCurrentIndex(model->index(0, 0));
    grid->setTabKeyNavigation(false);
    grid->setFont(font);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setFont(font);
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    grid->setWordWrap(false);
    int column = 0;
    for (int width : columnWidths) grid->setColumnWidth(column++, width);
    FitHeadingFont(grid->horizontalHeader());
}

void FitHeadingFont(QHeaderView* header) {
    constexpr int kSmallestPixelSize = 8;
    QFont font = header->font();
    const auto allFit = [header] {
        for (int section = 0; section < header->count(); ++section) {
            if (header->sectionSizeHint(section) > header->sectionSize(section)) return false;
        }
        return true;
    };
    while (!allFit() && font.pixelSize() > kSmallestPixelSize) {
        font.setPixelSize(font.pixelSize() - 1);
        header->setFont(font);
    }
}

void ChainTabOrder(std::initializer_list<QWidget*> controls) {
    QWidget* previous = nullptr;
    for (QWidget* control : controls) {
        if (previous) QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

void SetSignalColours(QWidget* edit, const QColor& textColour) {
    QPalette colours = edit->palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Window, Qt::black);
    edit->setPalette(colours);
    SetTextColour(edit, textColour);
}

void SetTextColour(QWidget* edit, const QColor& textColour) {
    QPalette colours = edit->palette();
    colours.setColor(QPalette::Text, ReadableOn(colours.color(QPalette::Base), textColour));
    edit->setPalette(colours);
}

void CentreOnScreen(QWidget* window, const QWidget* companion) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QSize beside = companion ? companion->frameGeometry().size() : QSize();
    window->move(
        CentredCorner(window->frameGeometry().size(), beside, screen->availableGeometry()));
}

QPoint CentredCorner(QSize size, QSize companion, const QRect& available) {
    QRect frame(QPoint(), size);
    frame.moveCenter(available.center());
    const int pairWidth = size.width() + companion.width();
    if (!companion.isEmpty() && pairWidth <= available.width()) {
        frame.moveLeft(available.left() + (available.width() - pairWidth) / 2);
    }
    return frame.topLeft();
}

// The top-left corner that keeps a frame of this size inside the screen area.
QPoint KeptOnScreen(QPoint corner, QSize size, const QRect& available) {
    corner.setX(
        std::max(available.left(), std::min(corner.x(), available.right() + 1 - size.width())));
    corner.setY(
        std::max(available.top(), std::min(corner.y(), available.bottom() + 1 - size.height())));
    return corner;
}

namespace {

// The room the window manager's frame takes around a window's contents.
QMargins FrameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect inner = window->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

int OverlapArea(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : common.width() * common.height();
}

QString PlacementKey(const QString& name) {
    return name + QStringLiteral("/geometry");
}

}  // namespace

QRect PlaceBeside(QSize size, const QRect& beside, const QRect& available,
                  const std::vector<QRect>& others) {
    size = size.boundedTo(available.size());
    const int right = beside.right() + 1;
    const int left = beside.left() - size.width();
    const int below = beside.bottom() + 1;
    const int above = beside.top() - size.height();
    const int alignedBottom = beside.bottom() + 1 - size.height();
    const int alignedRight = beside.right() + 1 - size.width();
    const QPoint candidates[] = {
        {right, beside.top()},  {left, beside.top()},   {beside.left(), below},
        {beside.left(), above}, {right, alignedBottom}, {left, alignedBottom},
        {alignedRight, below},  {alignedRight, above},
    };
    QRect best;
    std::pair<int, int> leastCovered{std::numeric_limits<int>::max(), 0};
    for (const QPoint& candidate : candidates) {
        const QRect frame(KeptOnScreen(candidate, size, available), size);
        std::pair<int, int> covered{OverlapArea(frame, beside), 0};
        for (const QRect& other : others) covered.second += OverlapArea(frame, other);
        if (covered < leastCovered) {
            best = frame;
            leastCovered = covered;
        }
    }
    return best;
}

void PlaceBeside(QWidget* window, const QWidget* anchor,
                 std::initializer_list<const QWidget*> others) {
    const QScreen* screen = anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    // A window not shown yet has no frame; the anchor's tells how large the
    // window manager makes one.
    const QMargins decoration = window->isVisible() ? FrameMargins(window) : FrameMargins(anchor);
    std::vector<QRect> avoided;
    for (const QWidget* other : others) {
        if (other && other->isVisible()) avoided.push_back(other->frameGeometry());
    }
    const QRect frame = PlaceBeside(window->size().grownBy(decoration), anchor->frameGeometry(),
                                    screen->availableGeometry(), avoided);
    window->resize(frame.size().shrunkBy(decoration));
    window->move(frame.topLeft());
}

bool RestoreWindowPlacement(QWidget* window, const QString& name) {
    const QByteArray kept = UserSettings().value(PlacementKey(name)).toByteArray();
    return !kept.isEmpty() && window->restoreGeometry(kept);
}

void SaveWindowPlacement(const QWidget* window, const QString& name) {
    UserSettings().setValue(PlacementKey(name), window->saveGeometry());
}

QPushButton* MakeButton(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QLabel* MakeLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setObjectName(name);
    return label;
}

QString PlainWindowTitle(const QString& title) {
    QString shown = title;
    return shown.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}

void ShowWithoutModality(QWidget* window) {
    if (!window) return;
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace quantaro
