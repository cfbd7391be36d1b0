#include "tables/EntryScreen.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>
#include <QTableView>

#include "engine/OperatorRegistry.h"
#include "interaction/ContextHelp.h"
#include "interaction/UserInteraction.h"
#include "interaction/WindowLayout.h"
#include "session/Session.h"
#include "tables/NameTableModel.h"

namespace quantaro {
namespace {

// Client area of the 640 x 450 window.
constexpr int kClientWidth = 632;
constexpr int kClientHeight = 424;

constexpr int kControlLeft = 496;
constexpr int kControlWidth = 121;
constexpr int kEditHeight = 21;
constexpr int kButtonHeight = 25;
constexpr std::array<int, 3> kLabelTops = {8, 64, 120};
constexpr std::array<int, 3> kEditTops = {24, 80, 136};
constexpr int kOkTop = 360;
constexpr int kCancelTop = 392;

bool IsEnter(const QKeyEvent& key) {
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

QFont GridFont() {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    return font;
}

QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

EntryScreen::EntryScreen(const Setup& setup, Session& session, UserInteraction& interaction,
                         QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      session_(session),
      interaction_(interaction),
      table_(setup.table),
      editor_(setup.texts),
      model_(std::make_unique<NameTableModel>(editor_.table())) {
    setObjectName(setup.windowName);
    setWindowTitle(setup.title);
    setFont(CaptionFont());
    resize(kClientWidth, kClientHeight);

    grid_ = new QTableView(this);
    grid_->setObjectName(setup.grid.objectName);
    SetUpGrid(grid_, model_.get(), QAbstractItemView::SelectItems, GridFont(),
              {setup.columnWidths[0], setup.columnWidths[1], setup.columnWidths[2]});
    grid_->setGeometry(setup.gridGeometry);

    std::array<QLineEdit*, 3> edits{};
    for (std::size_t i = 0; i < edits.size(); ++i) {
        labels_[i] = MakeLabel(setup.labels[i], QStringLiteral("Label%1").arg(i + 1), this);
        PlaceAt(labels_[i], kControlLeft, kLabelTops[i]);

        edits[i] = new QLineEdit(setup.edits[i].text, this);
        edits[i]->setObjectName(setup.edits[i].objectName);
        edits[i]->setFont(FixedPitchFont(13));
        edits[i]->setGeometry(kControlLeft, kEditTops[i], kControlWidth, kEditHeight);
        edits[i]->installEventFilter(this);
        ContextHelp::setContext(edits[i], setup.editHelpContext);
    }
    nameEdit_ = edits[0];
    valueEdit_ = edits[1];
    unitsEdit_ = edits[2];

    for (std::size_t i = 0; i < commands_.size(); ++i) {
        commands_[i] = new QPushButton(setup.commands[i].text, this);
        commands_[i]->setObjectName(setup.commands[i].objectName);
        commands_[i]->setGeometry(kControlLeft, setup.commandTops[i], kControlWidth, kButtonHeight);
        ContextHelp::setContext(commands_[i], setup.helpContext);
    }
    ContextHelp::setContext(changeButton(), setup.changeHelpContext);

    okButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                                QStringLiteral("&OK"), this);
    okButton_->setObjectName(QStringLiteral("ButtonOK"));
    okButton_->setGeometry(kControlLeft, kOkTop, kControlWidth, kButtonHeight);
    cancelButton_ = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                    QStringLiteral("&Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("ButtonCancel"));
    cancelButton_->setGeometry(kControlLeft, kCancelTop, kControlWidth, kButtonHeight);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, cancelButton_, &QPushButton::click);

    // Connected after the first current cell was set, so that building the
    // window does not copy the empty row 1 over the edits' initial texts.
    connect(grid_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) gridClick();
            });
    connect(grid_, &QTableView::clicked, this, [this] { gridClick(); });
    connect(addButton(), &QPushButton::clicked, this, [this] { addClick(); });
    connect(insertButton(), &QPushButton::clicked, this, [this] { insertClick(); });
    connect(changeButton(), &QPushButton::clicked, this, [this] { changeClick(); });
    connect(removeButton(), &QPushButton::clicked, this, [this] { removeClick(); });
    connect(okButton_, &QPushButton::clicked, this, [this] { okClick(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancelClick(); });

    hints_.add(this, QStringLiteral("Press F1 for help"));
    hints_.add(grid_, setup.grid.hint);
    for (std::size_t i = 0; i < edits.size(); ++i) hints_.add(edits[i], setup.edits[i].hint);
    for (std::size_t i = 0; i < commands_.size(); ++i) {
        hints_.add(commands_[i], setup.commands[i].hint);
    }
    hints_.add(okButton_, QStringLiteral("Accept table as it is"));
    hints_.add(cancelButton_, setup.cancelHint);

    ContextHelp::setNamesHelpFile(this);
    for (QWidget* widget : std::initializer_list<QWidget*>{this, grid_, okButton_, cancelButton_}) {
        ContextHelp::setContext(widget, setup.helpContext);
    }

    CentreOnScreen(this);
}

EntryScreen::~EntryScreen() = default;

void EntryScreen::showScreen() {
    show();
    raise();
    activateWindow();
}

void EntryScreen::setHintsShown(bool shown) {
    hints_.setShown(shown);
}

int EntryScreen::selectedRow() const {
    return NameTableModel::selectedRow(grid_);
}

bool EntryScreen::ExistCheck(const QString& name, const NameTable& grid) {
    return EntryTableEditor::ExistCheck(name.toStdString(), grid);
}

void EntryScreen::FormShow() {
    focusAndSelect(nameEdit_);
    editor_.load(session_.table(table_), session_.documents().usedRows(table_));
    model_->refresh();
    afterShown();
}

void EntryScreen::FormActivate() {
    nameEdit_->selectAll();
}

void EntryScreen::focusAndSelect(QLineEdit* edit) {
    edit->setFocus(Qt::OtherFocusReason);
    edit->selectAll();
}

EntryFields EntryScreen::fields() const {
    return {nameEdit_->text().toStdString(), valueEdit_->text().toStdString(),
            unitsEdit_->text().toStdString()};
}

void EntryScreen::showFields(const EntryFields& fields) {
    // An unchanged edit keeps its selection.
    auto show = [](QLineEdit* edit, const std::string& text) {
        const QString shown = ToQString(text);
        if (edit->text() != shown) edit->setText(shown);
    };
    show(nameEdit_, fields.name);
    show(valueEdit_, fields.value);
    show(unitsEdit_, fields.units);
}

ConfirmedNames EntryScreen::confirmedNames() const {
    const Document other =
        table_ == Document::Constants ? Document::Variables : Document::Constants;
    return {Operators(), session_.table(other)};
}

template <typename Command>
EntryOutcome EntryScreen::run(Command command) {
    EntryFields edited = fields();
    EntryOutcome outcome = command(edited);
    showFields(edited);
    if (outcome.done()) model_->refresh();
    report(outcome);
    return outcome;
}

void EntryScreen::report(const EntryOutcome& outcome) {
    switch (outcome.kind) {
        case EntryOutcome::Kind::Refused:
            interaction_.showError(this, ToQString(outcome.message));
            if (outcome.focus == EntryField::Name) focusAndSelect(nameEdit_);
            if (outcome.focus == EntryField::Value) focusAndSelect(valueEdit_);
            break;
        case EntryOutcome::Kind::TableFull:
            interaction_.showPlainBox(ToQString(std::string(kTableFullTitle)),
                                      ToQString(outcome.message));
            break;
        case EntryOutcome::Kind::Done:
        case EntryOutcome::Kind::NothingDone:
            break;
    }
}

void EntryScreen::gridClick() {
    showFields(editor_.row(selectedRow()));
    afterGridSelection();
}

void EntryScreen::addClick() {
    beforeAddOrInsert();
    run([this](EntryFields& edited) { return editor_.add(edited, confirmedNames()); });
}

void EntryScreen::insertClick() {
    beforeAddOrInsert();
    const int row = selectedRow();
    run([this, row](EntryFields& edited) { return editor_.insert(edited, row, confirmedNames()); });
}

bool EntryScreen::changeClick() {
    const int row = selectedRow();
    return run([this, row](EntryFields& edited) {
               return editor_.change(edited, row, confirmedNames());
           })
        .done();
}

void EntryScreen::removeClick() {
    const int row = selectedRow();
    run([this, row](EntryFields& edited) { return editor_.remove(edited, row); });
}

void EntryScreen::okClick() {
    const EntryOutcome outcome = editor_.validate();
    if (!outcome.done()) {
        report(outcome);
        return;
    }
    session_.acceptRows(table_, editor_.table(), editor_.entryCount());
    hide();
}

void EntryScreen::cancelClick() {
    hide();
}

bool EntryScreen::nameKeyPress(QKeyEvent& key) {
    if (IsEnter(key)) {
        focusAndSelect(valueEdit_);
        return true;
    }
    // A name with blanks could never be referenced by a formula.
    if (key.text() == QStringLiteral(" ")) {
        nameEdit_->insert(QStringLiteral("_"));
        return true;
    }
    return false;
}

bool EntryScreen::valueKeyPress(QKeyEvent& key) {
    if (!IsEnter(key)) return false;
    valueEnterPressed();
    return true;
}

bool EntryScreen::unitsKeyPress(QKeyEvent& key) {
    if (!IsEnter(key)) return false;
    unitsEnterPressed();
    return true;
}

void EntryScreen::valueEnterPressed() {
    focusAndSelect(unitsEdit_);
}

void EntryScreen::unitsEnterPressed() {
    focusAndSelect(nameEdit_);
    addClick();
}

bool EntryScreen::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) FormActivate();
    return QWidget::event(event);
}

bool EntryScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched != nameEdit_ && watched != valueEdit_ && watched != unitsEdit_) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress: {
            auto& key = static_cast<QKeyEvent&>(*event);
            if (watched == nameEdit_) return nameKeyPress(key);
            if (watched == valueEdit_) return valueKeyPress(key);
            return unitsKeyPress(key);
        }
        case QEvent::MouseButtonDblClick:
            insertClick();
            return true;
        case QEvent::MouseButtonRelease:
            if (watched == nameEdit_ &&
                static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                nameEditClicked();
            }
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void EntryScreen::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Spontaneous show events come from the window system, for example when
    // the window is restored; only a showing by the program reloads.
    if (!event->spontaneous()) FormShow();
}

}  // namespace quantaro
