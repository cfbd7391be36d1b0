#pragma once

#include <QWidget>

#include "interaction/HintSet.h"

class QPlainTextEdit;
class QPushButton;

namespace quantaro {

class Session;

// The Explain Equations window: every step of one run of the formula, in
// plain text. The run is made on a copy of the session's worksheet, so the
// documents never change. Refresh explains the formula again as it is then,
// in the angle unit, against the tables as they are then.
//
// The session must outlive the window.
class TFormExplain : public QWidget, public HintTarget {
    Q_OBJECT

  public:
    explicit TFormExplain(const Session& session, QWidget* parent = nullptr);

    // Explains the session's formula and shows the text.
    void explain();

    void setHintsShown(bool shown) override;

    // Handlers.
    void ButtonRefreshClick();
    void ButtonCloseClick();

  private:
    const Session& session_;

    QPlainTextEdit* MemoExplain = nullptr;
    QPushButton* ButtonRefresh = nullptr;
    QPushButton* ButtonClose = nullptr;
    HintSet hints_;
};

}  // namespace quantaro
