#include "ui/StartUp.h"

#include <QApplication>

#include "commands/CommandLineFiles.h"
#include "interaction/ContextHelp.h"
#include "interaction/WindowLayout.h"
#include "run/TFormLoopSelect.h"
#include "run/TFormSelectEquation.h"
#include "tables/TFormConstants.h"
#include "tables/TFormVariables.h"
#include "ui/TFormCalculator.h"
#include "ui/TFormHelpAbout.h"

namespace quantaro {

DesktopProgram::DesktopProgram(UserInteraction& interaction, const QString& startDirectory,
                               const QString& guideDirectory)
    : interaction_(interaction),
      session_(startDirectory, guideDirectory),
      mainWindow_(std::make_unique<TFormCalculator>(session_, interaction)),
      variableScreen_(std::make_unique<TFormVariables>(session_, interaction)),
      constantScreen_(std::make_unique<TFormConstants>(session_, interaction)),
      aboutBox_(std::make_unique<TFormHelpAbout>()),
      selectEquation_(std::make_unique<TFormSelectEquation>()),
      loopWindow_(std::make_unique<TFormLoopSelect>(session_, interaction)),
      helpKeys_(std::make_unique<HelpKeyFilter>(interaction, session_.helpFiles())) {
    // The loop window shows as soon as it exists.
    loopWindow_->show();
    mainWindow_->setEntryScreens(constantScreen_.get(), variableScreen_.get());
    mainWindow_->setAboutBox(aboutBox_.get());
    mainWindow_->setRunWindows(selectEquation_.get(), loopWindow_.get());
    for (HintTarget* window :
         std::initializer_list<HintTarget*>{constantScreen_.get(), variableScreen_.get(),
                                            loopWindow_.get(), selectEquation_.get()}) {
        session_.addHintTarget(window);
    }
    qApp->installEventFilter(helpKeys_.get());
}

DesktopProgram::~DesktopProgram() {
    qApp->removeEventFilter(helpKeys_.get());
}

void DesktopProgram::show() {
    const bool restored = mainWindow_->restorePlacement();
    mainWindow_->show();
    if (!restored) CentreOnScreen(mainWindow_.get(), loopWindow_.get());
    PlaceBeside(loopWindow_.get(), mainWindow_.get());
    // Shown first, the loop window would be hidden behind a main window
    // restored to fill the screen.
    loopWindow_->raise();
}

void DesktopProgram::open(const QStringList& files) {
    CommandLineFiles(mainWindow_->documentCommands(), interaction_, mainWindow_.get()).open(files);
}

}  // namespace quantaro
