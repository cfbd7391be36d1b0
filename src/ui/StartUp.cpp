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
      mainWindow_(std::make_unique<TFormCalculator>(worksheet_, interaction, startDirectory,
                                                    guideDirectory)),
      variableScreen_(std::make_unique<TFormVariables>(*mainWindow_, interaction)),
      constantScreen_(std::make_unique<TFormConstants>(*mainWindow_, interaction)),
      aboutBox_(std::make_unique<TFormHelpAbout>()),
      selectEquation_(std::make_unique<TFormSelectEquation>()),
      loopWindow_(std::make_unique<TFormLoopSelect>(mainWindow_->runControl(), interaction)),
      helpKeys_(std::make_unique<HelpKeyFilter>(interaction, mainWindow_->helpFiles())) {
    // The loop window shows as soon as it exists.
    loopWindow_->show();
    mainWindow_->setEntryScreens(constantScreen_.get(), variableScreen_.get());
    mainWindow_->setAboutBox(aboutBox_.get());
    mainWindow_->setRunWindows(selectEquation_.get(), loopWindow_.get());
    mainWindow_->addHintTarget(constantScreen_.get());
    mainWindow_->addHintTarget(variableScreen_.get());
    mainWindow_->addHintTarget(loopWindow_.get());
    mainWindow_->addHintTarget(selectEquation_.get());
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
