#include "interaction/HelpFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "interaction/UserInteraction.h"

namespace quantaro {
namespace {

constexpr char kGuideFolder[] = "quantaro/guide";
constexpr char kGuideStartPage[] = "index.html";

bool HoldsGuide(const QString& directory) {
    return !directory.isEmpty() && QFileInfo(QDir(directory).filePath(kGuideStartPage)).isFile();
}

}  // namespace

HelpFiles::HelpFiles(QString helpPath, QString guideDirectory)
    : helpPath_(std::move(helpPath)), guideDirectory_(std::move(guideDirectory)) {}

void HelpFiles::open(UserInteraction& user, int context, QWidget* owner) const {
    const Request request = requestFor(context);
    if (user.showHelp(request.path, request.context)) return;
    user.showInformation(owner, QStringLiteral("No program on this desktop opens help. The help "
                                               "is in this file, which you can open by hand:\n%1")
                                    .arg(QDir::toNativeSeparators(request.path)));
}

HelpFiles::Request HelpFiles::requestFor(int context) const {
    if (QFileInfo(helpPath_).isFile() || !HoldsGuide(guideDirectory_)) return {helpPath_, context};
    const QDir guide(guideDirectory_);
    const QString contextPage = guide.filePath(QStringLiteral("context-%1.html").arg(context));
    if (context != 0 && QFileInfo(contextPage).isFile()) return {contextPage, 0};
    return {guide.filePath(kGuideStartPage), context};
}

QString LocateUserGuide() {
    const QString besideProgram = QDir(QCoreApplication::applicationDirPath())
                                      .filePath(QStringLiteral("../share/") + kGuideFolder);
    if (HoldsGuide(besideProgram)) return QDir::cleanPath(besideProgram);
    const QString installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                     kGuideFolder, QStandardPaths::LocateDirectory);
    return HoldsGuide(installed) ? QDir::cleanPath(installed) : QString();
}

}  // namespace quantaro
