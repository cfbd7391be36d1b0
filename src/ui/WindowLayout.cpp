#include "WindowLayout.h"

#include <algorithm>

#include <QFontDatabase>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QWidget>

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
    colours.setColor(QPalette::Text, textColour);
    edit->setPalette(colours);
}

void SetTextColour(QWidget* edit, const QColor& textColour) {
    QPalette colours = edit->palette();
    colours.setColor(QPalette::Text, textColour);
    edit->setPalette(colours);
}

void CentreOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

void PlaceBeside(QWidget* window, const QWidget* anchor) {
    const QScreen* screen = anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    const QRect beside = anchor->frameGeometry();
    const int width = window->frameGeometry().width();
    int left = beside.right() + 1;
    if (left + width > available.right() + 1) left = beside.left() - width;
    left = std::max(left, available.left());
    window->move(left, beside.top());
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
