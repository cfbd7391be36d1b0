#include "run/TFormExplain.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/Explanation.h"
#include "engine/Worksheet.h"
#include "interaction/ContextHelp.h"
#include "interaction/WindowLayout.h"
#include "session/Session.h"
#include "session/WorksheetUnits.h"

namespace quantaro {
namespace {

// The run items' help context.
constexpr int kExplainHelp = 14;
// Hundreds of thousands of lines would take the editor seconds to lay out;
// the batch runner writes an explanation of any length.
constexpr std::size_t kMostShownLines = 20'000;

}  // namespace

TFormExplain::TFormExplain(const Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session) {
    setObjectName(QStringLiteral("TFormExplain"));
    setWindowTitle(QStringLiteral("Quantaro - Explain Equations"));
    setFont(CaptionFont());

    MemoExplain = new QPlainTextEdit(this);
    MemoExplain->setObjectName(QStringLiteral("MemoExplain"));
    MemoExplain->setReadOnly(true);
    MemoExplain->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoExplain->setFont(FixedPitchFont(13));
    ButtonRefresh = MakeButton(QStringLiteral("&Refresh"), "ButtonRefresh", this);
    ButtonClose = MakeButton(QStringLiteral("&Close"), "ButtonClose", this);
    connect(ButtonRefresh, &QPushButton::clicked, this, &TFormExplain::ButtonRefreshClick);
    connect(ButtonClose, &QPushButton::clicked, this, &TFormExplain::ButtonCloseClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonRefresh);
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(MemoExplain, 1);
    layout->addLayout(buttons);
    ChainTabOrder({MemoExplain, ButtonRefresh, ButtonClose});

    hints_.add(this, QStringLiteral("Each step of a run, worked out without changing the tables"));
    hints_.add(ButtonRefresh, QStringLiteral("Explain the equations as they are now"));
    hints_.add(ButtonClose, QStringLiteral("Return to main screen"));
    ContextHelp::setNamesHelpFile(this);
    for (QWidget* widget :
         std::initializer_list<QWidget*>{this, MemoExplain, ButtonRefresh, ButtonClose}) {
        ContextHelp::setContext(widget, kExplainHelp);
    }
    resize(560, 380);
}

void TFormExplain::explain() {
    const Worksheet copy = session_.worksheetCopy();
    // Each step's unit beside its value, as the units check follows it.
    UnitLibrary* units = WorksheetUnits(session_);
    const std::vector<std::string> steps =
        units ? WithStepUnits(ExplainEquations(copy).lines, CheckUnits(copy, *units))
              : ExplainEquations(copy).lines;
    const std::size_t shown = std::min(steps.size(), kMostShownLines);
    QStringList lines;
    for (std::size_t i = 0; i < shown; ++i) lines.append(QString::fromStdString(steps[i]));
    if (shown < steps.size()) {
        lines.append(QStringLiteral("(%1 more lines are not shown; quantaro-cli --explain "
                                    "writes them all)")
                         .arg(steps.size() - shown));
    }
    MemoExplain->setPlainText(lines.join(QLatin1Char('\n')));
}

void TFormExplain::setHintsShown(bool shown) {
    hints_.setShown(shown);
}

void TFormExplain::ButtonRefreshClick() {
    explain();
}

void TFormExplain::ButtonCloseClick() {
    close();
}

}  // namespace quantaro
