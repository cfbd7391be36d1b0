#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

#include "DesktopProgramFixture.h"
#include "WidgetTesting.h"
#include "interaction/ContextHelp.h"
#include "interaction/HelpFiles.h"
#include "run/TFormLoopSelect.h"
#include "run/TFormSelectEquation.h"
#include "tables/TFormConstants.h"
#include "tables/TFormVariables.h"
#include "ui/TFormHelpAbout.h"

namespace quantaro::testing {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// The program started with the user guide of this build to fall back on.
class HelpFilesTest : public DesktopProgramFixture {
  protected:
    HelpFilesTest() { guideDirectory = QStringLiteral(QUANTARO_GUIDE_DIR); }

    void pressF1OnTheEditor() {
        MakeActive(main());
        auto* editor = main().findChild<QPlainTextEdit*>(QStringLiteral("MemoFormula"));
        ASSERT_NE(editor, nullptr);
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_F1);
    }

    void chooseUsingTheProgram() {
        main().findChild<QAction*>(QStringLiteral("About1"))->trigger();
    }

    QString guidePage(const QString& name) const { return QDir(guideDirectory).filePath(name); }

    // Every help context number carried by a window, control, menu or menu
    // item of the program.
    std::set<int> contextsOfTheProgram() const {
        std::set<int> contexts;
        const QList<QWidget*> windows = {&program->mainWindow(),     &program->variableScreen(),
                                         &program->constantScreen(), &program->aboutBox(),
                                         &program->selectEquation(), &program->loopWindow()};
        for (QWidget* window : windows) {
            for (QObject* object : window->findChildren<QObject*>()) {
                if (int context = ContextHelp::contextOf(object)) contexts.insert(context);
            }
            if (int context = ContextHelp::contextOf(window)) contexts.insert(context);
        }
        return contexts;
    }
};

TEST_F(HelpFilesTest, WithoutAHelpFileF1OnTheEditorOpensTheGuideAtTheEditorsSection) {
    pressF1OnTheEditor();
    ASSERT_EQ(user.helpRequests.size(), 1u);
    EXPECT_EQ(user.helpRequests[0].path, guidePage("context-6.html"));
    EXPECT_EQ(user.helpRequests[0].context, 0);
    EXPECT_TRUE(ReadAll(user.helpRequests[0].path).contains("url=index.html#context-6\""));
    EXPECT_TRUE(ReadAll(guidePage("index.html")).contains("id=\"context-6\""));
}

TEST_F(HelpFilesTest, WithoutAHelpFileUsingTheProgramOpensTheGuideAtItsStart) {
    chooseUsingTheProgram();
    ASSERT_EQ(user.helpRequests.size(), 1u);
    EXPECT_EQ(user.helpRequests[0].path, guidePage("index.html"));
    EXPECT_EQ(user.helpRequests[0].context, 0);
}

TEST_F(HelpFilesTest, AHelpFileInTheStartDirectoryTakesPrecedenceOverTheGuide) {
    QFile helpFile(session().helpFiles().helpPath());
    ASSERT_TRUE(helpFile.open(QIODevice::WriteOnly));
    helpFile.close();

    pressF1OnTheEditor();
    chooseUsingTheProgram();
    ASSERT_EQ(user.helpRequests.size(), 2u);
    EXPECT_EQ(user.helpRequests[0].path, session().helpFiles().helpPath());
    EXPECT_EQ(user.helpRequests[0].context, 6);
    EXPECT_EQ(user.helpRequests[1].path, session().helpFiles().helpPath());
    EXPECT_EQ(user.helpRequests[1].context, 0);
}

TEST_F(HelpFilesTest, WhenTheDesktopCannotOpenHelpABoxNamesTheFileToOpenByHand) {
    user.desktopOpensHelp = false;
    pressF1OnTheEditor();
    chooseUsingTheProgram();
    ASSERT_EQ(user.boxes.size(), 2u);
    EXPECT_EQ(user.boxes[0].kind, BoxKind::Information);
    EXPECT_TRUE(user.boxes[0].text.endsWith(QLatin1Char('\n') + guidePage("context-6.html")));
    EXPECT_TRUE(user.boxes[1].text.endsWith(QLatin1Char('\n') + guidePage("index.html")));
}

TEST_F(HelpFilesTest, EveryHelpContextOfTheProgramLeadsToOneSectionOfTheGuide) {
    const std::set<int> contexts = contextsOfTheProgram();
    ASSERT_EQ(contexts.size(), 23u);  // 1 to 21, 23 and 25
    const QString guide = QString::fromUtf8(ReadAll(guidePage("index.html")));
    for (int context : contexts) {
        SCOPED_TRACE(context);
        const QString page = guidePage(QStringLiteral("context-%1.html").arg(context));
        ASSERT_TRUE(QFile::exists(page));
        EXPECT_TRUE(ReadAll(page).contains(
            QStringLiteral("url=index.html#context-%1\"").arg(context).toUtf8()));
        const QRegularExpression anchor(QStringLiteral("id=\"context-%1\"").arg(context));
        EXPECT_EQ(guide.count(anchor), 1);
    }
}

// A guide folder made on the spot, to check the fallbacks of a partial or
// missing guide.
class MadeGuideTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(startDir.isValid());
        ASSERT_TRUE(guideDir.isValid());
    }

    void writeGuideFile(const QString& name) {
        QFile file(QDir(guideDir.path()).filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html></html>");
    }

    QString helpPath() const { return QDir(startDir.path()).filePath("Quantaro.hlp"); }

    QTemporaryDir startDir;
    QTemporaryDir guideDir;
    ScriptedInteraction user;
};

TEST_F(MadeGuideTest, AGuideWithoutTheContextsPageOpensAtItsStartWithTheContext) {
    writeGuideFile("index.html");
    HelpFiles(helpPath(), guideDir.path()).open(user, 12);
    ASSERT_EQ(user.helpRequests.size(), 1u);
    EXPECT_EQ(user.helpRequests[0].path, QDir(guideDir.path()).filePath("index.html"));
    EXPECT_EQ(user.helpRequests[0].context, 12);
}

TEST_F(MadeGuideTest, AFolderWithoutTheGuideLeavesHelpAtTheHelpPath) {
    writeGuideFile("context-12.html");
    HelpFiles(helpPath(), guideDir.path()).open(user, 12);
    HelpFiles(helpPath(), QString()).open(user, 0);
    ASSERT_EQ(user.helpRequests.size(), 2u);
    EXPECT_EQ(user.helpRequests[0].path, helpPath());
    EXPECT_EQ(user.helpRequests[0].context, 12);
    EXPECT_EQ(user.helpRequests[1].path, helpPath());
}

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const QString& value)
        : name_(name), wasSet_(qEnvironmentVariableIsSet(name)), saved_(qgetenv(name)) {
        qputenv(name, value.toUtf8());
    }
    ~ScopedEnvironment() {
        if (wasSet_) {
            qputenv(name_, saved_);
        } else {
            qunsetenv(name_);
        }
    }

  private:
    const char* name_;
    bool wasSet_;
    QByteArray saved_;
};

TEST_F(MadeGuideTest, TheGuideIsFoundInTheDesktopsDataFolders) {
    const ScopedEnvironment dataHome("XDG_DATA_HOME", QDir(startDir.path()).filePath("home"));
    const ScopedEnvironment dataDirs("XDG_DATA_DIRS", guideDir.path());
    const QString nothingYet = LocateUserGuide();

    ASSERT_TRUE(QDir(guideDir.path()).mkpath("quantaro/guide"));
    writeGuideFile("quantaro/guide/index.html");
    const QString found = LocateUserGuide();

    EXPECT_EQ(nothingYet, QString());
    EXPECT_EQ(found, QDir(guideDir.path()).filePath("quantaro/guide"));
}

}  // namespace
}  // namespace quantaro::testing
