#pragma once

#include <QObject>
#include <QString>

class QPlainTextEdit;
class QTreeWidget;

namespace quantaro {

class FormulaEditor;
class Session;
class UserInteraction;

// The list of names that Ctrl+Space offers under the formula editor's
// caret: the constants, variables and operators that begin with the word
// before the caret, with their values and units. Like a menu it takes the
// keyboard while it is open: the arrows choose, Tab or Enter accepts, Escape
// only closes it; any other key goes on to the editor, and the list follows
// the word as it is typed. Accepting inserts the name as the grids' insert
// does, in place of the word typed.
class FormulaCompletion : public QObject {
    Q_OBJECT

  public:
    FormulaCompletion(QPlainTextEdit* memo, FormulaEditor& editor, const Session& session,
                      UserInteraction& interaction);

    // Opens the list, or beeps when no name begins with the word.
    void open();
    void accept();
    void close();

    bool isOpen() const;
    QTreeWidget* list() const { return list_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Fills the list for the word before the caret; false when no name fits.
    bool fill();
    void place();

    QPlainTextEdit* memo_;
    FormulaEditor& editor_;
    const Session& session_;
    UserInteraction& interaction_;
    QTreeWidget* list_;
    QString word_;
};

}  // namespace quantaro
