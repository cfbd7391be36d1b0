#include "run/TFormCheckUnits.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <array>

#include "engine/Worksheet.h"
#include "interaction/ContextHelp.h"
#include "interaction/ReadableColours.h"
#include "interaction/WindowLayout.h"
#include "session/Session.h"
#include "session/WorksheetUnits.h"

namespace quantaro {
namespace {

constexpr int kCheckUnitsHelp = 24;
// The editor's characters an item stands for.
constexpr int kFromRole = Qt::UserRole;
constexpr int kToRole = Qt::UserRole + 1;

// Dimension findings in the error colour, scale findings in the warning
// colour, on whatever ground the palette has.
QColor KindColour(UnitFinding::Kind kind, const QPalette& palette) {
    const QColor ground = palette.color(QPalette::Active, QPalette::Base);
    switch (kind) {
        case UnitFinding::Dimension:
            return ReadableOn(ground, QColor(0xd00000));
        case UnitFinding::Scale:
            return ReadableOn(ground, QColor(0xb06000));
        case UnitFinding::NotUnderstood:
            break;
    }
    return palette.color(QPalette::Active, QPalette::Text);
}

QString Summary(const UnitReport& report) {
    if (report.findings.empty()) return QStringLiteral("No findings: the units agree.");
    std::array<int, 3> counts{};
    for (const UnitFinding& finding : report.findings) ++counts[finding.kind];
    QStringList parts;
    for (int kind = 0; kind < 3; ++kind) {
        if (counts[kind] > 0)
            parts << QStringLiteral("%1 %2")
                         .arg(counts[kind])
                         .arg(QLatin1String(KindName(static_cast<UnitFinding::Kind>(kind))));
    }
    return QStringLiteral("%1 finding%2: %3")
        .arg(report.findings.size())
        .arg(report.findings.size() == 1 ? "" : "s")
        .arg(parts.join(QStringLiteral(", ")));
}

}  // namespace

TFormCheckUnits::TFormCheckUnits(const Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session) {
    setObjectName(QStringLiteral("TFormCheckUnits"));
    setWindowTitle(QStringLiteral("Quantaro - Check Units"));
    setFont(CaptionFont());

    LabelSummary = new QLabel(this);
    LabelSummary->setObjectName(QStringLiteral("LabelSummary"));
    LabelSummary->setTextFormat(Qt::PlainText);
    TreeFindings = new QTreeWidget(this);
    TreeFindings->setObjectName(QStringLiteral("TreeFindings"));
    TreeFindings->setHeaderHidden(true);
    TreeFindings->setColumnCount(1);
    TreeFindings->setFont(FixedPitchFont(13));
    TreeFindings->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TreeFindings->header()->setStretchLastSection(false);
    ButtonRefresh = MakeButton(QStringLiteral("&Refresh"), "ButtonRefresh", this);
    ButtonClose = MakeButton(QStringLiteral("&Close"), "ButtonClose", this);
    connect(ButtonRefresh, &QPushButton::clicked, this, &TFormCheckUnits::ButtonRefreshClick);
    connect(ButtonClose, &QPushButton::clicked, this, &TFormCheckUnits::ButtonCloseClick);
    connect(TreeFindings, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { itemChosen(item, false); });
    connect(TreeFindings, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { itemChosen(item, true); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonRefresh);
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(LabelSummary);
    layout->addWidget(TreeFindings, 1);
    layout->addLayout(buttons);
    ChainTabOrder({TreeFindings, ButtonRefresh, ButtonClose});

    hints_.add(this,
               QStringLiteral("Where the units of a step do not agree, equation by equation"));
    hints_.add(TreeFindings,
               QStringLiteral("Select a line to put the editor's cursor on its step"));
    hints_.add(ButtonRefresh, QStringLiteral("Check the units as they are now"));
    hints_.add(ButtonClose, QStringLiteral("Return to main screen"));
    ContextHelp::setNamesHelpFile(this);
    for (QWidget* widget : std::initializer_list<QWidget*>{this, LabelSummary, TreeFindings,
                                                           ButtonRefresh, ButtonClose}) {
        ContextHelp::setContext(widget, kCheckUnitsHelp);
    }
    resize(640, 380);
}

void TFormCheckUnits::check() {
    const Worksheet sheet = session_.worksheetCopy();
    UnitLibrary* units = WorksheetUnits(session_);
    report_ = units ? CheckUnits(sheet, *units) : UnitReport{};
    positions_ = EditorPositions(sheet.formula());
    const auto position = [this](std::size_t byte) {
        return positions_[std::min(byte, positions_.size() - 1)];
    };
    const QSignalBlocker blocker(TreeFindings);
    TreeFindings->clear();
    LabelSummary->setText(units ? Summary(report_)
                                : QStringLiteral("The udunits2 units database cannot be read."));
    QTreeWidgetItem* group = nullptr;
    int groupEquation = 0;
    for (const UnitFinding& finding : report_.findings) {
        if (!group || groupEquation != finding.equation) {
            groupEquation = finding.equation;
            const std::string text = sheet.formula().substr(
                finding.equationBegin, finding.equationEnd - finding.equationBegin);
            group = new QTreeWidgetItem(TreeFindings,
                                        {QStringLiteral("Equation %1: %2")
                                             .arg(finding.equation)
                                             .arg(QString::fromStdString(text).simplified())});
            group->setData(0, kFromRole, position(finding.equationBegin));
            group->setData(0, kToRole, position(finding.equationEnd));
            group->setExpanded(true);
        }
        std::string line = FindingLine(finding);
        line.erase(0, line.find(finding.step > 0 ? "step" : ":") + (finding.step > 0 ? 0 : 2));
        auto* item = new QTreeWidgetItem(group, {QString::fromStdString(line)});
        item->setForeground(0, KindColour(finding.kind, TreeFindings->palette()));
        item->setData(0, kFromRole, position(finding.at));
        item->setData(0, kToRole, position(finding.at + finding.length));
    }
}

void TFormCheckUnits::itemChosen(QTreeWidgetItem* item, bool focus) {
    if (!item) return;
    emit placeChosen(item->data(0, kFromRole).toInt(), item->data(0, kToRole).toInt(), focus);
}

void TFormCheckUnits::setHintsShown(bool shown) {
    hints_.setShown(shown);
}

void TFormCheckUnits::ButtonRefreshClick() {
    check();
}

void TFormCheckUnits::ButtonCloseClick() {
    close();
}

}  // namespace quantaro
