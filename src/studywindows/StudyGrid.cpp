#include "studywindows/StudyGrid.h"

#include <QHeaderView>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

#include "engine/Numbers.h"
#include "session/FormulaRuns.h"
#include "session/Session.h"

namespace quantaro {

QTableWidget* MakeStudyGrid(const char* name, const QStringList& headers, int rows,
                            QWidget* parent) {
    auto* grid = new QTableWidget(rows, static_cast<int>(headers.size()), parent);
    grid->setObjectName(QLatin1String(name));
    grid->setHorizontalHeaderLabels(headers);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 8);
    // A few rows show; the rest scroll.
    grid->setMinimumHeight(grid->horizontalHeader()->sizeHint().height() +
                           4 * grid->verticalHeader()->defaultSectionSize());
    grid->setTabKeyNavigation(false);
    // Typing into a cell edits it, as in the entry screens' grids.
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    return grid;
}

std::vector<QStringList> FilledRows(const QTableWidget* grid) {
    std::vector<QStringList> rows;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid->columnCount(); ++column) {
            const QTableWidgetItem* item = grid->item(row, column);
            cells << (item ? item->text().trimmed() : QString());
        }
        if (!cells.first().isEmpty()) rows.push_back(cells);
    }
    return rows;
}

void SetGridRow(QTableWidget* grid, int row, const QStringList& texts) {
    for (int column = 0; column < std::min<int>(texts.size(), grid->columnCount()); ++column)
        grid->setItem(row, column, new QTableWidgetItem(texts[column]));
}

std::optional<long double> GridNumber(const QString& text, const QString& what, QString& fault) {
    const NumberReading reading = ReadNumber(text.toStdString());
    if (!reading.value || reading.overflows) {
        fault = QStringLiteral("%1 must be a number, not \"%2\"").arg(what, text);
        return std::nullopt;
    }
    return reading.value;
}

std::optional<QString> StoreInputValues(Session& session, const std::vector<InputCell>& cells,
                                        const std::vector<std::string>& texts,
                                        const StudyRun& run) {
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const Document document =
            cells[k].table == InputTable::Constants ? Document::Constants : Document::Variables;
        session.setCell(document, ValueColumn, cells[k].row, texts[k]);
    }
    FormulaRuns& runs = session.runs();
    std::optional<std::string> fault;
    for (int pass = 0; pass < run.passes && !fault; ++pass) {
        fault = runs.runPass(run.equation);
        if (runs.lastRunFailed()) break;
    }
    session.tableWritten(Document::Variables);
    if (!fault) return std::nullopt;
    return QString::fromStdString(*fault);
}

Plot ConvergencePlot(const std::vector<std::pair<int, long double>>& history,
                     const QString& verticalTitle, bool logarithmic) {
    Plot plot;
    plot.horizontalTitle = QStringLiteral("Trial");
    plot.verticalTitle = verticalTitle;
    PlotSeries series{verticalTitle, {}};
    double low = INFINITY, high = -INFINITY;
    for (const auto& [trial, value] : history) {
        if (logarithmic && !(value > 0)) continue;
        const double y = static_cast<double>(logarithmic ? std::log10(value) : value);
        if (!std::isfinite(y)) continue;
        series.points.append(QPointF(trial, y));
        low = std::min(low, y);
        high = std::max(high, y);
    }
    const double last = history.empty() ? 1.0 : history.back().first;
    plot.horizontal = {0.0, std::max(1.0, last), true};
    plot.vertical = series.points.isEmpty() ? AxisRange{} : AxisRange{low, high};
    plot.series.push_back(std::move(series));
    return plot;
}

}  // namespace quantaro
