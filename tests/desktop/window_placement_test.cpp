#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QVBoxLayout>

#include "desktop/window_placement.h"

namespace {

using desktop::placeBeside;

const QRect kScreen(0, 0, 1366, 768);

TEST(PlaceBeside, RightWhereTheScreenHasRoomElseBelow)
{
    const QRect main(10, 20, 500, 400);
    // Right of it, level with its top.
    EXPECT_EQ(placeBeside({300, 300}, main, {}, kScreen), QRect(518, 20, 300, 300));
    // A tall window moves up to stay on the screen, still right of the main window.
    EXPECT_EQ(placeBeside({300, 760}, main, {}, kScreen), QRect(518, 8, 300, 760));
    // Too wide for the right: below.
    EXPECT_EQ(placeBeside({900, 300}, main, {}, kScreen), QRect(10, 428, 900, 300));
    // Cut to the screen where it is larger than it.
    EXPECT_EQ(placeBeside({2000, 1000}, main, {}, kScreen).size(), kScreen.size());
}

TEST(PlaceBeside, WithoutRoomItCoversTheFewestControls)
{
    // The main window fills the left of the screen; its controls lie in its left half.
    const QRect main(0, 0, 900, 700);
    const std::vector<QRect> controls{{10, 10, 80, 20}, {10, 40, 80, 20}, {300, 100, 400, 300}, {10, 650, 300, 30}};
    const QRect r = placeBeside({600, 500}, main, controls, kScreen);
    EXPECT_TRUE(kScreen.contains(r));
    for (const QRect& c : controls)
        EXPECT_FALSE(r.intersects(c)) << c.x() << "," << c.y();
}

struct MainWithControls {
    QMainWindow main;
    MainWithControls()
    {
        main.menuBar()->addMenu("File");
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        for (int i = 0; i < 4; ++i)
            layout->addWidget(new QLabel(QString("control %1").arg(i)));
        main.setCentralWidget(central);
        main.setGeometry(100, 100, 300, 200);
        main.show();
    }
};

// A window of `size` kept beside the main window, with nothing remembered yet.
struct Kept : MainWithControls {
    QWidget other;
    explicit Kept(QSize size)
    {
        QSettings("ladderbench", "PlacementTest").clear();
        other.resize(size);
        desktop::keepBeside(&other, &main, "PlacementTest", "other");
        other.show();
    }
};

TEST(KeepBeside, OpensBesideAndReturnsWhereItWasLeft)
{
    Kept m({300, 200});
    QWidget& other = m.other;
    EXPECT_FALSE(other.frameGeometry().intersects(m.main.frameGeometry()));
    for (const QRect& c : desktop::controlRects(m.main))
        EXPECT_FALSE(other.frameGeometry().intersects(c));

    // Moved by the user and closed: it comes back there, at its new size.
    const QRect screen = m.main.screen()->availableGeometry();
    other.move(screen.left() + 450, screen.top() + 350);
    other.resize(320, 240);
    other.hide();
    other.show();
    EXPECT_EQ(other.pos(), QPoint(screen.left() + 450, screen.top() + 350));
    EXPECT_EQ(other.size(), QSize(320, 240));

    // Left over the main window: it opens beside it again, keeping its size.
    other.move(m.main.pos() + QPoint(20, 20));
    other.hide();
    other.show();
    EXPECT_FALSE(other.frameGeometry().intersects(m.main.frameGeometry()));
    EXPECT_EQ(other.size(), QSize(320, 240));
}

TEST(KeepBeside, AWindowLargerThanTheScreenIsCutToIt)
{
    Kept m({5000, 5000});
    const QRect screen = m.main.screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(m.other.frameGeometry()));
}

}  // namespace
