#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "charts/TrajectoryPlot.h"
#include "studies/StudyPoint.h"

class QTableWidget;
class QWidget;

namespace quantaro {

class Session;

// A grid the user types a study's rows into (a target per row, an input per
// row), with a row for each it may take; rows left empty count for nothing.
QTableWidget* MakeStudyGrid(const char* name, const QStringList& headers, int rows,
                            QWidget* parent);

// The rows whose first cell is filled, each as its cells' trimmed texts.
std::vector<QStringList> FilledRows(const QTableWidget* grid);
// Types texts into a row's cells, from the first.
void SetGridRow(QTableWidget* grid, int row, const QStringList& texts);

// A cell's text as a number; nothing, with the fault naming what it is,
// when it is not one.
std::optional<long double> GridNumber(const QString& text, const QString& what, QString& fault);

// Store, as Goal Seek's: each input's value cell takes its value's text, as
// an inline edit writes it, so that the documents holding them are marked
// changed, and the formula runs the trial's passes, so that the tables show
// the solution. The fault of the run, if any.
std::optional<QString> StoreInputValues(Session& session, const std::vector<InputCell>& cells,
                                        const std::vector<std::string>& texts, const StudyRun& run);

// The convergence chart: a value at each trial that ran cleanly, by trial
// number, as log10 of it when logarithmic (nonpositive values left out).
Plot ConvergencePlot(const std::vector<std::pair<int, long double>>& history,
                     const QString& verticalTitle, bool logarithmic);

}  // namespace quantaro
