#include "run/TFormTrajectory.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <gtest/gtest.h>

#include "ScriptedInteraction.h"
#include "TrajectoryVariables.h"
#include "engine/Trajectory.h"

namespace quantaro::testing {
namespace {

// X runs along a parabola Y = X * X, one step a pass; at most 8 rows kept.
class TrajectoryWindowTest : public ::testing::Test {
  protected:
    TrajectoryWindowTest() {
        record(4);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void record(int passes) {
        for (int i = 0; i < passes; ++i) {
            ++pass;
            variables.setResult(1, pass);
            variables.setResult(2, pass * pass);
            trajectory.record(pass, variables);
        }
    }
    template <typename T>
    T* child(const char* name) {
        return window.findChild<T*>(QLatin1String(name));
    }
    QChart* chart() { return child<QChartView>("ChartView")->chart(); }
    // The newest point of a series; (-1, -1) for none.
    QPointF lastPoint(qsizetype index) {
        const QList<QPointF> points = static_cast<QLineSeries*>(chart()->series()[index])->points();
        return points.isEmpty() ? QPointF(-1, -1) : points.back();
    }
    QValueAxis* axis(Qt::Orientation orientation) {
        return static_cast<QValueAxis*>(chart()->axes(orientation).front());
    }

    NameTable variables = TrajectoryVariables();
    Trajectory trajectory{{"X", "Y"}, 8};
    ScriptedInteraction user;
    int pass = 0;
    TFormTrajectory window{trajectory, variables, user};
};

TEST_F(TrajectoryWindowTest, FollowsNewRowsKeepingTheUsersZoom) {
    EXPECT_EQ(window.windowTitle(), "Quantaro - Trajectory");
    ASSERT_EQ(chart()->series().size(), 2);
    EXPECT_EQ(lastPoint(1), QPointF(4, 16));
    EXPECT_EQ(axis(Qt::Vertical)->titleText(), "X (m), Y");
    EXPECT_TRUE(child<QLabel>("LabelThinned")->isHidden());

    record(2);
    QTest::qWait(120);
    EXPECT_EQ(lastPoint(1), QPointF(6, 36));
    EXPECT_EQ(axis(Qt::Horizontal)->max(), 6);

    axis(Qt::Horizontal)->setRange(2, 3);
    EXPECT_TRUE(window.zoomed());
    record(4);  // past 8 rows: thinned
    QTest::qWait(120);
    EXPECT_EQ(lastPoint(1), QPointF(10, 100));
    EXPECT_EQ(axis(Qt::Horizontal)->max(), 3);
    EXPECT_FALSE(child<QLabel>("LabelThinned")->isHidden());

    child<QPushButton>("ButtonResetZoom")->click();
    EXPECT_FALSE(window.zoomed());
    EXPECT_EQ(axis(Qt::Horizontal)->max(), 10);

    child<QComboBox>("ComboHorizontal")->setCurrentIndex(1);
    EXPECT_EQ(child<QListWidget>("ListVertical")->item(0)->checkState(), Qt::Unchecked);
    ASSERT_EQ(chart()->series().size(), 1);
    EXPECT_EQ(lastPoint(0), QPointF(10, 100));
    EXPECT_EQ(axis(Qt::Horizontal)->titleText(), "X (m)");
}

TEST_F(TrajectoryWindowTest, SavesTheChartByTheNamesSuffixOrTellsWhy) {
    const QTemporaryDir folder;
    struct Case {
        QString name;
        QByteArray start;  // of the file; empty when the save fails
    };
    const Case cases[] = {{"chart.png", "\x89PNG"},
                          {"chart.svg", "<?xml"},
                          {"chart.PDF", "%PDF"},
                          {"chart.jpg", ""},
                          {"missing/chart.png", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        user.clear();
        const QString path = folder.filePath(c.name);
        user.chosenFiles.push_back(path);
        child<QPushButton>("ButtonSaveChart")->click();
        QFile file(path);
        if (c.start.isEmpty()) {
            EXPECT_FALSE(file.exists());
            EXPECT_TRUE(user.onlyBoxText().contains(c.name)) << user.onlyBoxText().toStdString();
            continue;
        }
        EXPECT_TRUE(user.boxes.empty());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().startsWith(c.start));
    }
}

}  // namespace
}  // namespace quantaro::testing
