#pragma once

#include <QWidget>

#include <vector>

#include "interaction/HintSet.h"
#include "studies/UnitCheck.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace quantaro {

class Session;

// The Check Units window: the units check's findings, grouped by equation.
// Selecting a line asks for the editor's cursor on its equation's step;
// activating it (a double click, Enter) asks for the editor too. Refresh
// checks the worksheet as it is then. The check never changes the
// worksheet.
//
// The session must outlive the window.
class TFormCheckUnits : public QWidget, public HintTarget {
    Q_OBJECT

  public:
    explicit TFormCheckUnits(const Session& session, QWidget* parent = nullptr);

    // Checks the session's worksheet and lists the findings.
    void check();
    const UnitReport& report() const { return report_; }

    void setHintsShown(bool shown) override;

    void ButtonRefreshClick();
    void ButtonCloseClick();

  signals:
    // Characters from..to of the editor's text; focus: the user activated
    // the line and wants to go on in the editor.
    void placeChosen(int from, int to, bool focus);

  private:
    void itemChosen(QTreeWidgetItem* item, bool focus);

    const Session& session_;
    UnitReport report_;
    std::vector<int> positions_;  // of the formula's bytes in the editor's text

    QLabel* LabelSummary = nullptr;
    QTreeWidget* TreeFindings = nullptr;
    QPushButton* ButtonRefresh = nullptr;
    QPushButton* ButtonClose = nullptr;
    HintSet hints_;
};

}  // namespace quantaro
