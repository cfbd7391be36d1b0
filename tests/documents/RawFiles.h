#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <dirent.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <string_view>

namespace quantaro::testing {

// Plain file access for checking files byte for byte.
inline void WriteRaw(const QString& path, std::string_view bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
              static_cast<qint64>(bytes.size()));
}

inline std::string ReadRaw(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "<unreadable>";
    }
    const QByteArray data = file.readAll();
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

// The entries of a folder, counted and, when it goes, removed by their
// bytes: Qt lists and removes only those whose names are UTF-8.
struct EntriesByBytes {
    QByteArray folder;  // ends in "/"

    template <typename Each>
    void forEach(Each each) const {
        DIR* entries = opendir(folder.constData());
        while (const dirent* entry = entries ? readdir(entries) : nullptr) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
                each(folder + entry->d_name);
            }
        }
        if (entries) closedir(entries);
    }
    int count() const {
        int found = 0;
        forEach([&](const QByteArray&) { ++found; });
        return found;
    }
    ~EntriesByBytes() {
        forEach([](const QByteArray& entry) { unlink(entry.constData()); });
    }
};

}  // namespace quantaro::testing
