// Sorvel's other windows at the main window's default place on a 1920 x 1080 screen
// without a window manager: none covers any of the main window's controls, each fits a
// 1366 x 768 screen, and each comes back where it was left.
#include <gtest/gtest.h>

#include <QAction>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include "analyser/app/start_circuit.h"
#include "desktop/window_placement.h"
#include "tests/support/app_test_support.h"

namespace {

void startWithExample(SorvelApp& app)
{
    startSorvel(app, chooseStartCircuit(std::nullopt, bundledExamplePaths("/nonexistent/bin")));
}

std::vector<QWidget*> secondaryWindows(SorvelApp& app)
{
    return {&app.responseWindow(), &app.toleranceWindow(), &app.largePlot(), &app.fitWindow(),
            &app.instrumentPanel()};
}

TEST(SecondaryWindows, OpenBesideTheMainWindowAndFitASmallScreen)
{
    RunningSorvel s(false, startWithExample);
    ASSERT_EQ(s.main().screen()->geometry(), QRect(0, 0, 1920, 1080));
    s.main().action(Command::ShowResponse)->trigger();
    s.main().action(Command::ShowTolerance)->trigger();
    s.app().showLargePlot();
    s.main().action(Command::ShowFit)->trigger();
    s.app().instrumentPanel().show();  // as connecting shows it
    QApplication::processEvents();
    const std::vector<QRect> controls = desktop::controlRects(s.main());
    ASSERT_GT(controls.size(), 20u);
    for (QWidget* w : secondaryWindows(s.app())) {
        SCOPED_TRACE(w->objectName().toStdString());
        ASSERT_TRUE(w->isVisible());
        const QRect frame = w->frameGeometry();
        for (const QRect& c : controls)
            EXPECT_FALSE(frame.intersects(c)) << c.x() << "," << c.y() << " " << c.width() << "x" << c.height();
        EXPECT_LE(frame.width(), 1366);
        EXPECT_LE(frame.height(), 768 - 30) << "room for a panel";
        EXPECT_TRUE(s.main().screen()->availableGeometry().contains(frame));
    }

    // Moved and resized by the user, hidden, shown again: where it was left.
    QWidget& t = s.app().toleranceWindow();
    t.resize(700, 500);
    t.move(1000, 500);
    t.hide();
    t.show();
    QApplication::processEvents();
    EXPECT_EQ(t.pos(), QPoint(1000, 500));
    EXPECT_EQ(t.size(), QSize(700, 500));
    for (QWidget* w : secondaryWindows(s.app()))
        w->close();
}

TEST(SecondaryWindows, MessageBoxesAreCentredOnTheirWindow)
{
    RunningSorvel s(false, startWithExample);
    QWidget& t = s.app().toleranceWindow();
    t.show();
    QApplication::processEvents();
    QPoint centre;
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                centre = box->frameGeometry().center();
                box->accept();
            }
    });
    QMessageBox::warning(&t, "Tolerance", "test");
    EXPECT_LE((centre - t.frameGeometry().center()).manhattanLength(), 40);
    t.close();
}

}  // namespace
