#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>

#include "documents/DocumentState.h"
#include "interaction/HintSet.h"
#include "tables/EntryTableEditor.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace quantaro {

class NameTableModel;
class Session;
class UserInteraction;

// The window shared by the constant and the variable entry screen: a grid
// showing the working copy, the three edits of the entry being worked on, the
// command buttons, OK and Cancel. The screen has a title but no system menu
// or title-bar buttons, so it is left through OK or Cancel (Escape presses
// Cancel). It is a plain window rather than a dialog, so that ENTER in an
// edit never presses a default button.
//
// Every showing reloads the working copy from the session's table; OK
// validates it and hands it back to the session, Cancel just hides the window.
class EntryScreen : public QWidget, public HintTarget {
    Q_OBJECT

  public:
    ~EntryScreen() override;

    // Shows the screen without making it modal, brings it to the front and
    // activates it. On a screen already visible the showing steps do not run.
    void showScreen();

    void setHintsShown(bool shown) override;

    const EntryTableEditor& editor() const { return editor_; }
    int entryCount() const { return editor_.entryCount(); }
    // The table row of the grid's current cell.
    int selectedRow() const;

    // Run each time the window becomes visible and each time it is activated.
    void FormShow();
    void FormActivate();

    static bool ExistCheck(const QString& name, const NameTable& grid);

  protected:
    struct Control {
        QString objectName;
        QString text;
        QString hint;
    };

    // What the two screens fill in differently.
    struct Setup {
        Document table = Document::Constants;  // the table edited; the other's names are taken
        QString windowName;
        QString title;
        EntryTexts texts;
        int helpContext = 0;        // window, grid and buttons
        int editHelpContext = 0;    // the three edits
        int changeHelpContext = 0;  // the Change button
        Control grid;
        QRect gridGeometry;
        std::array<int, kEntryTableColumns> columnWidths{};
        std::array<QString, 3> labels;    // above the name, value and units edits
        std::array<Control, 3> edits;     // name, value, units
        std::array<Control, 4> commands;  // Add, Insert, Change, Remove
        std::array<int, 4> commandTops{};
        QString cancelHint;
    };

    EntryScreen(const Setup& setup, Session& session, UserInteraction& interaction,
                QWidget* parent);

    // Points where the variable screen adds its edit mode.
    virtual void afterShown() {}
    virtual void beforeAddOrInsert() {}
    virtual void afterGridSelection() {}
    virtual void nameEditClicked() {}
    // Default: the value edit passes to the units edit, the units edit to the
    // name edit and then adds the entry.
    virtual void valueEnterPressed();
    virtual void unitsEnterPressed();

    // The command handlers; each shows what its outcome asks for.
    void gridClick();
    void addClick();
    void insertClick();
    bool changeClick();  // true when the row was changed
    void removeClick();
    void okClick();
    void cancelClick();
    // Key handlers of the three edits; true when the key was used up.
    bool nameKeyPress(QKeyEvent& key);
    bool valueKeyPress(QKeyEvent& key);
    bool unitsKeyPress(QKeyEvent& key);

    // Focuses an edit with all its text selected, as the user expects after
    // being sent there.
    static void focusAndSelect(QLineEdit* edit);

    QTableView* grid() const { return grid_; }
    QLabel* label(int index) const { return labels_[index]; }
    QLineEdit* nameEdit() const { return nameEdit_; }
    QLineEdit* valueEdit() const { return valueEdit_; }
    QLineEdit* unitsEdit() const { return unitsEdit_; }
    QPushButton* addButton() const { return commands_[0]; }
    QPushButton* insertButton() const { return commands_[1]; }
    QPushButton* changeButton() const { return commands_[2]; }
    QPushButton* removeButton() const { return commands_[3]; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    HintSet& hints() { return hints_; }

    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    template <typename Command>
    EntryOutcome run(Command command);
    EntryFields fields() const;
    void showFields(const EntryFields& fields);
    void report(const EntryOutcome& outcome);
    ConfirmedNames confirmedNames() const;

    Session& session_;
    UserInteraction& interaction_;
    Document table_;
    EntryTableEditor editor_;
    // Destroyed before editor_, whose table it shows.
    std::unique_ptr<NameTableModel> model_;
    HintSet hints_;

    QTableView* grid_ = nullptr;
    std::array<QLabel*, 3> labels_{};
    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* valueEdit_ = nullptr;
    QLineEdit* unitsEdit_ = nullptr;
    std::array<QPushButton*, 4> commands_{};
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
};

}  // namespace quantaro
