#pragma once

#include <QColor>
#include <QFont>

class QWidget;
class QTableView;

namespace quantaro {

// Places a control at its fixed position and size inside its window.
void Place(QWidget* control, int left, int top, int width, int height);
// Places a control at its position with the size its contents need.
void PlaceAt(QWidget* control, int left, int top);

// A fixed-pitch font whose characters are pixelHeight pixels high, narrowed so
// that a name such as ARCCOSECH fits the narrow columns of the grids.
QFont FixedPitchFont(int pixelHeight, bool bold = false);

// The proportional font of captions and labels.
QFont CaptionFont();

// The look shared by every grid: heading row, no row numbers, no editing in
// the cells, the given column widths and font.
void SetUpGrid(QTableView* grid, const QFont& font, std::initializer_list<int> columnWidths);

// An edit that shows its state by colour: black ground, text in textColour.
void SetSignalColours(QWidget* edit, const QColor& textColour);
void SetTextColour(QWidget* edit, const QColor& textColour);

// Centres a top-level window on the screen it is shown on.
void CentreOnScreen(QWidget* window);

}  // namespace quantaro
