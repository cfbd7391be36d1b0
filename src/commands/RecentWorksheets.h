#pragma once

#include <QString>
#include <QStringList>

namespace quantaro {

// The worksheets last opened or saved, each named by its formula file's
// absolute path, newest first. The list lives in the user's settings, so
// every window of every running program reads the same one.
class RecentWorksheets {
  public:
    static constexpr int kLimit = 10;

    QStringList paths() const;
    // The folders of the listed worksheets, newest first, each once.
    QStringList folders() const;

    // Puts formulaPath first, dropping an older entry of the same file and
    // any beyond the limit.
    void add(const QString& formulaPath);
    void remove(const QString& formulaPath);
    void clear();

  private:
    void store(const QStringList& paths);
};

}  // namespace quantaro
