#include "run/TFormTrajectory.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLineSeries>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QValueAxis>

#include <fstream>
#include <functional>
#include <iostream>

#include <gtest/gtest.h>
#include <unistd.h>

#include "ScriptedInteraction.h"
#include "TrajectoryVariables.h"
#include "charts/PlotView.h"
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
        window.followTrajectory();  // as the session's loop tells it
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
    EXPECT_EQ(axis(Qt::Vertical)->titleText(), "Value");
    EXPECT_TRUE(child<QLabel>("LabelThinned")->isHidden());

    // Told of new rows, the window redraws soon, later while the machine is busy.
    record(2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return lastPoint(1) == QPointF(6, 36); }, 5000));
    EXPECT_EQ(axis(Qt::Horizontal)->max(), 6);

    axis(Qt::Horizontal)->setRange(2, 3);
    EXPECT_TRUE(window.zoomed());
    record(4);  // past 8 rows: thinned
    EXPECT_TRUE(QTest::qWaitFor([&] { return lastPoint(1) == QPointF(10, 100); }, 5000));
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

// A million passes, then every change of axes a user can make: each redraw
// must lay out a handful of ticks and a bounded number of points, whatever
// range the axes had before. The time of each is logged, not asserted.
TEST(LongTrajectoryWindowTest, EveryAxisChangeRedrawsWithinBounds) {
    NameTable variables = TrajectoryVariables();
    Trajectory trajectory({"X", "Y"});
    for (int pass = 1; pass <= 1'000'000; ++pass) {
        variables.setResult(1, pass % 1000);
        variables.setResult(2, 1e-3 * pass);
        trajectory.record(pass, variables);
    }
    ScriptedInteraction user;
    TFormTrajectory window(trajectory, variables, user);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* view = window.findChild<QChartView*>(QStringLiteral("ChartView"));
    auto* across = window.findChild<QComboBox*>(QStringLiteral("ComboHorizontal"));
    auto* list = window.findChild<QListWidget*>(QStringLiteral("ListVertical"));
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"shown", [] {}},
        {"X across", [&] { across->setCurrentIndex(1); }},
        {"pass across", [&] { across->setCurrentIndex(0); }},
        {"Y unticked", [&] { list->item(1)->setCheckState(Qt::Unchecked); }},
        {"Y ticked", [&] { list->item(1)->setCheckState(Qt::Checked); }},
        {"Y across", [&] { across->setCurrentIndex(2); }},
        {"zoomed far in", [&] { static_cast<PlotView*>(view)->zoomBy(1e-9); }},
        {"fitted", [&] { QTest::keyClick(view, Qt::Key_0); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        QElapsedTimer took;
        took.start();
        change();
        QApplication::processEvents();
        view->grab();  // lays out and paints the chart
        std::cout << what << ": " << took.elapsed() << " ms" << std::endl;
        EXPECT_LT(view->scene()->items().size(), 200);
        for (QAbstractSeries* series : view->chart()->series()) {
            EXPECT_LE(static_cast<QLineSeries*>(series)->count(), kMaxPlotPoints);
        }
    }
}

// Eight million passes in which the residual settles after four: the
// million rows kept hold one value of it, a range of no width that Qt Charts
// takes for none. Each change of the horizontal axis (X right after it
// too, which changes the lines drawn) must draw on the axis chosen, with a
// few ticks and points, and the memory held must not grow.
TEST(LongTrajectoryWindowTest, AConstantVariableAcrossIsDrawnOnItsOwnAxisWithinBounds) {
    NameTable variables = MakeVariableTable();
    const std::vector<std::string> names{"X", "RESIDUAL", "Y"};
    for (int row = 1; row <= 3; ++row) variables.setCell(NameColumn, row, names[row - 1]);
    Trajectory trajectory(names);
    for (int pass = 1; pass <= 8'000'000; ++pass) {
        variables.setResult(1, 1.4142135623731);
        variables.setResult(2, pass < 5 ? 1.0 / pass : 1.4210854715202E-14);
        variables.setResult(3, 1.25992104989487);
        trajectory.record(pass, variables);
    }
    ASSERT_EQ(trajectory.rowCount(), Trajectory::kMaxRows);
    ScriptedInteraction user;
    TFormTrajectory window(trajectory, variables, user);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* view = window.findChild<QChartView*>(QStringLiteral("ChartView"));
    auto* across = window.findChild<QComboBox*>(QStringLiteral("ComboHorizontal"));
    const auto heldMiB = [] {
        std::ifstream statm("/proc/self/statm");
        double pages = 0;
        statm >> pages >> pages;
        return pages * double(sysconf(_SC_PAGESIZE)) / (1 << 20);
    };
    const double heldBefore = heldMiB();
    for (const int choice : {2, 1, 0, 2, 0, 1}) {
        SCOPED_TRACE(choice);
        across->setCurrentIndex(choice);
        view->grab();       // lays out and paints the chart
        QStringList texts;  // titles, tick labels, legend
        for (const QGraphicsItem* item : view->scene()->items()) {
            const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
            if (text && text->isVisible()) texts << text->toPlainText();
        }
        ASSERT_TRUE(texts.contains(choice == 0 ? "Pass" : across->itemText(choice)))
            << texts.join(", ").toStdString();
        EXPECT_TRUE(choice != 2 || texts.contains("0"));  // not a residue of steps
        EXPECT_LT(texts.size(), 30);
        const auto* axis = static_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal).front());
        for (QAbstractSeries* series : view->chart()->series()) {
            const QList<QPointF> points = static_cast<QLineSeries*>(series)->points();
            EXPECT_LE(points.size(), kMaxPlotPoints);
            EXPECT_TRUE(axis->min() <= points.front().x() && points.back().x() <= axis->max());
        }
        EXPECT_LT(heldMiB() - heldBefore, 64);
    }
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
