#pragma once

#include <QObject>
#include <QString>

#include "documents/TextEncoding.h"

namespace quantaro {

enum class Document { Formula, Constants, Variables };

inline constexpr char kUntitledFormula[] = "Untitled.FOR";
inline constexpr char kUntitledConstants[] = "Untitled.CON";
inline constexpr char kUntitledVariables[] = "Untitled.VAR";

// What the main window knows of its three documents: the current file
// names, whether each differs from its file, and how many rows of each table
// are in use. The caption is rebuilt only when asked, so that a name set by
// a reader that then stops does not show.
class DocumentState : public QObject {
    Q_OBJECT

  public:
    explicit DocumentState(QObject* parent = nullptr);

    const QString& fileName(Document document) const;
    void setFileName(Document document, const QString& name);
    // Names the formula formulaPath and the tables after it (".CON", ".VAR").
    void nameAllAfter(const QString& formulaPath);

    bool isChanged(Document document) const;
    void setChanged(Document document, bool changed = true);
    bool anyChanged() const;

    // The highest row of a table whose value cell is not empty after a load,
    // carried through the entry screens.
    int usedRows(Document table) const;
    void setUsedRows(Document table, int rows);

    // The character set of the document's file, in which it is saved again.
    FileEncoding encoding(Document document) const;
    void setEncoding(Document document, FileEncoding encoding);

    // "QUANTARO - " and the three file-name parts, separated by " -- ", as
    // ShownFileName shows them.
    QString caption() const;
    void rebuildCaption();

  signals:
    void captionChanged(const QString& caption);
    // A document's changed flag was set or cleared.
    void changedFlagSet(quantaro::Document document, bool changed);

  private:
    static int slot(Document document) { return static_cast<int>(document); }

    QString fileNames_[3];
    bool changed_[3] = {false, false, false};
    int usedRows_[3] = {0, 0, 0};
    FileEncoding encodings_[3] = {FileEncoding::Utf8, FileEncoding::Utf8, FileEncoding::Utf8};
};

// The last component of a file name: the text after its last "/", "\" or ":".
QString FileNamePart(const QString& fileName);

// path with its last three characters, whatever they are, replaced by
// extension: how the table files are named after a formula file.
QString DerivedFileName(const QString& path, const QString& extension);

}  // namespace quantaro
