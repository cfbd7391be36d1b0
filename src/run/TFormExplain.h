#pragma once

#include <QWidget>

#include "interaction/HintSet.h"

class QPlainTextEdit;
class QPushButton;

namespace quantaro {

class RunHost;
struct Worksheet;

// The Explain Equations window: every step of one run of the formula, in
// plain text. The run is made on a copy of the tables, so the documents never
// change. Refresh explains the formula again as the main window holds it
// then, in its angle unit, against the tables as they are then.
//
// The worksheet and the host must outlive the window.
class TFormExplain : public QWidget, public HintTarget {
    Q_OBJECT

  public:
    TFormExplain(const Worksheet& sheet, const RunHost& host, QWidget* parent = nullptr);

    // Explains the host's formula and shows the text.
    void explain();

    void setHintsShown(bool shown) override;

    // Handlers.
    void ButtonRefreshClick();
    void ButtonCloseClick();

  private:
    const Worksheet& sheet_;
    const RunHost& host_;

    QPlainTextEdit* MemoExplain = nullptr;
    QPushButton* ButtonRefresh = nullptr;
    QPushButton* ButtonClose = nullptr;
    HintSet hints_;
};

}  // namespace quantaro
