#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "session/Session.h"

class QObject;

namespace quantaro {

class TFormCalculator;
class TFormConstants;
class TFormHelpAbout;
class TFormLoopSelect;
class TFormSelectEquation;
class TFormVariables;
class HelpKeyFilter;
class UserInteraction;

// The program's session and windows, created once at start-up, each window
// completely before the next, and kept for the whole run. The session comes
// first, so that it outlives every window that shows it.
class DesktopProgram {
  public:
    // guideDirectory: the installed user guide, help's fallback when the
    // start directory holds no help file.
    DesktopProgram(UserInteraction& interaction, const QString& startDirectory,
                   const QString& guideDirectory = QString());
    ~DesktopProgram();

    // Shows the main window beside the loop window, which showed itself when
    // it was created; closing the main window ends the program.
    void show();
    // Opens the files named on the command line, as File › Open would.
    void open(const QStringList& files);

    Session& session() { return session_; }
    TFormCalculator& mainWindow() { return *mainWindow_; }
    TFormVariables& variableScreen() { return *variableScreen_; }
    TFormConstants& constantScreen() { return *constantScreen_; }
    TFormHelpAbout& aboutBox() { return *aboutBox_; }
    TFormSelectEquation& selectEquation() { return *selectEquation_; }
    TFormLoopSelect& loopWindow() { return *loopWindow_; }

  private:
    UserInteraction& interaction_;
    Session session_;
    std::unique_ptr<TFormCalculator> mainWindow_;
    std::unique_ptr<TFormVariables> variableScreen_;
    std::unique_ptr<TFormConstants> constantScreen_;
    std::unique_ptr<TFormHelpAbout> aboutBox_;
    std::unique_ptr<TFormSelectEquation> selectEquation_;
    std::unique_ptr<TFormLoopSelect> loopWindow_;
    std::unique_ptr<HelpKeyFilter> helpKeys_;
};

}  // namespace quantaro
