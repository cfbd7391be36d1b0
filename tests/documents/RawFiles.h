#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <filesystem>
#include <fstream>
#include <iterator>
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

// The same for a file named by its bytes, and a folder's entries counted
// and, when the counter goes, removed by theirs: Qt lists, opens and removes
// only the files whose names are UTF-8.
inline std::string ReadRawBytes(const QByteArray& path) {
    std::ifstream file(path.constData(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

struct EntriesByBytes {
    std::filesystem::path folder;
    long count() const { return std::distance(std::filesystem::directory_iterator(folder), {}); }
    ~EntriesByBytes() {
        for (const auto& entry : std::filesystem::directory_iterator(folder)) remove(entry.path());
    }
};

}  // namespace quantaro::testing
