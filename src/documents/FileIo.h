#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace quantaro {

enum class LoadStatus {
    Loaded,   // the file was read
    Missing,  // no file of that name exists
    Failed,   // the system refused to open or read it; see errorText
};

struct FileReadResult {
    LoadStatus status = LoadStatus::Loaded;
    std::string bytes;
    QString errorText;
};

// The whole content of the file at path.
FileReadResult ReadFileBytes(const QString& path);

// Replaces the file at path by bytes in one step: the new content is written
// beside it and renamed over it only when completely written, so a failed or
// interrupted write leaves the previous file as it was. Returns the system's
// error text on failure.
std::optional<QString> WriteFileAtomically(const QString& path, std::string_view bytes);

}  // namespace quantaro
