#pragma once

#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/FileIo.h"
#include "engine/NameTable.h"

namespace quantaro {

// Streams the values of chosen variables after each pass into a CSV file,
// as a trajectory file holds them, without keeping the rows. The file takes
// the place of any file of that name only when finished; a recorder that
// goes unfinished leaves it as it was.
class CsvRecorder {
  public:
    // Records the variables in the given rows of the variable table, in that
    // order, under their names.
    CsvRecorder(const QString& path, const NameTable& variables, std::vector<int> rows);

    // Returns a text naming the file and the reason as soon as a write fails.
    std::optional<QString> record(int pass, const NameTable& variables);
    // Returns a text naming the file and the reason when it was not written.
    std::optional<QString> finish();

  private:
    std::optional<QString> flush();

    AtomicFileWriter file_;
    std::vector<int> rows_;
    std::string buffer_;
};

}  // namespace quantaro
