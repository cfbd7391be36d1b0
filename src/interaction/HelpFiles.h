#pragma once

#include <QString>

class QWidget;

namespace quantaro {

class UserInteraction;

// Where help comes from: the help file at the help path when one is there,
// otherwise the user guide installed with the program. A request at a
// context number opens the guide through its page for that number, which
// leads to the number's section; the desktop's launcher may drop an anchor
// from a file address, so the anchor cannot travel in the address itself.
class HelpFiles {
  public:
    // guideDirectory may be empty: then every request goes to the help path,
    // and the desktop reports a missing file.
    HelpFiles(QString helpPath, QString guideDirectory);

    const QString& helpPath() const { return helpPath_; }

    // Opens help at context, or at its beginning for 0. When the desktop
    // cannot open it, a box over owner names the file to open by hand.
    void open(UserInteraction& user, int context, QWidget* owner = nullptr) const;

  private:
    struct Request {
        QString path;
        int context;
    };
    Request requestFor(int context) const;

    QString helpPath_;
    QString guideDirectory_;
};

// The folder holding the installed user guide: share/quantaro/guide under
// the program's own prefix, else in the desktop's data folders. Empty when
// none holds the guide.
QString LocateUserGuide();

}  // namespace quantaro
