#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <optional>

#include "documents/DocumentState.h"
#include "documents/FileIo.h"
#include "documents/TextEncoding.h"
#include "engine/Outcome.h"
#include "engine/Worksheet.h"

namespace quantaro {

// How reading one document went. A missing file's message is the warning
// that names its kind of document; a file that is there but could not be
// read, or a name that cannot be used, has the text that names the file and
// the reason.
using LoadOutcome = Outcome<LoadStatus>;

enum class SaveStatus {
    Saved,
    Failed,   // the message names the file and the reason
    Skipped,  // no file was named, or an earlier document could not be written
};
using SaveOutcome = Outcome<SaveStatus>;

// One value for each document of a worksheet, formula first.
template <class T>
struct PerDocument {
    std::array<T, 3> values{};

    T& operator[](Document document) { return values[static_cast<std::size_t>(document)]; }
    const T& operator[](Document document) const {
        return values[static_cast<std::size_t>(document)];
    }
};

// The files of a worksheet; a document without one is neither read nor
// written. An empty name is a name, of a file that does not exist.
using WorksheetPaths = PerDocument<std::optional<QString>>;
using WorksheetEncodings = PerDocument<FileEncoding>;

// One document's file alone.
WorksheetPaths OneDocumentFile(Document document, const QString& path);

struct DocumentLoad {
    LoadOutcome outcome;
    // The character set the file was read in, to write it back in.
    FileEncoding encoding = FileEncoding::Utf8;
    // A table's highest row with a value, 0 if none or nothing was read.
    int usedRows = 0;
};

struct WorksheetLoad {
    // What was read. A document whose file was not read is empty, a formula
    // in degrees; one that was not named also counts as read, as New leaves it.
    Worksheet sheet;
    PerDocument<DocumentLoad> documents;
};

// Reads each named document of the worksheet, whatever became of the others.
WorksheetLoad LoadWorksheet(const WorksheetPaths& paths);

// Writes each named document of sheet, formula first, in the character set
// given for it; the first that cannot be written ends the writing, and those
// after it are Skipped.
PerDocument<SaveOutcome> SaveWorksheet(const Worksheet& sheet, const WorksheetPaths& paths,
                                       const WorksheetEncodings& encodings);

}  // namespace quantaro
