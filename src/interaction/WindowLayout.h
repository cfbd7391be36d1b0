#pragma once

#include <QAbstractItemView>
#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <initializer_list>
#include <vector>

class QLabel;
class QPushButton;
class QString;
class QWidget;
class QAbstractItemModel;
class QHeaderView;
class QTableView;

namespace quantaro {

// A button or label with its caption and object name.
QPushButton* MakeButton(const QString& caption, const char* name, QWidget* parent);
// A label that shows its text as plain characters, never as markup.
QLabel* MakeLabel(const QString& text, const QString& name, QWidget* parent);

// A window title that shows title as it is: Qt would take "[*]" in it for
// the placeholder of the modified mark.
QString PlainWindowTitle(const QString& title);

// Shows a window that is not modal and gives it the focus; one that is
// already open only comes to the front. Does nothing without a window.
void ShowWithoutModality(QWidget* window);

// Places a control at its position with the size its contents need.
void PlaceAt(QWidget* control, int left, int top);

// A fixed-pitch font whose characters are pixelHeight pixels high, narrowed so
// that a name such as ARCCOSECH fits the narrow columns of the grids.
QFont FixedPitchFont(int pixelHeight, bool bold = false);

// The proportional font of captions and labels.
QFont CaptionFont();

// The look and behaviour shared by every grid: heading row, no row numbers,
// no editing in the cells, one cell or row selected (the first at start),
// Tab leaving the grid, the given font and column widths.
void SetUpGrid(QTableView* grid, QAbstractItemModel* model,
               QAbstractItemView::SelectionBehavior selects, const QFont& font,
               std::initializer_list<int> columnWidths);

// Makes a header's font small enough for every heading to read in full in
// its column, as the columns' widths are fixed.
void FitHeadingFont(QHeaderView* header);

// Sets the tab order of a window to the given sequence.
void ChainTabOrder(std::initializer_list<QWidget*> controls);

// An edit that shows its state by colour: black ground, text in textColour.
// A colour that would not read on the edit's ground is replaced by the
// nearest colour of its hue that does (ReadableOn).
void SetSignalColours(QWidget* edit, const QColor& textColour);
void SetTextColour(QWidget* edit, const QColor& textColour);

// Centres a top-level window on the screen it is shown on. With a companion
// that is to go on its right, the two are centred together where the screen
// is wide enough for both.
void CentreOnScreen(QWidget* window, const QWidget* companion = nullptr);
// The top-left corner of a centred window frame of this size; companion is
// empty for none.
QPoint CentredCorner(QSize size, QSize companion, const QRect& available);

// The top-left corner that keeps a frame of this size inside the screen area.
QPoint KeptOnScreen(QPoint corner, QSize size, const QRect& available);

// Moves a top-level window beside another, on the side where it covers the
// least of it (none where the screen allows) and then the least of the other
// windows given: right, left, below or above, in that order of preference.
// It is kept on the screen, made smaller where the screen is smaller.
void PlaceBeside(QWidget* window, const QWidget* anchor,
                 std::initializer_list<const QWidget*> others = {});
// The frame, of this size or the screen's if smaller, beside the frame
// `beside` within the screen area `available`, covering the least of it and
// then of the frames `others`.
QRect PlaceBeside(QSize size, const QRect& beside, const QRect& available,
                  const std::vector<QRect>& others = {});

// Where a top-level window was and how large, kept under name in the user's
// configuration folder between runs. Restoring returns false when nothing
// was kept.
bool RestoreWindowPlacement(QWidget* window, const QString& name);
void SaveWindowPlacement(const QWidget* window, const QString& name);

}  // namespace quantaro
