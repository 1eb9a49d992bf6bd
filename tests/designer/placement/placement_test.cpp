// Mirabo's other windows as they open at the main window's default place on a 1920x1080
// screen without a window manager: beside the main window, never over its controls.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>

#include "designer/app/mirabo_app.h"
#include "desktop/window_placement.h"
#include "tests/support/qt_test_main.h"

namespace {

TEST(MiraboPlacement, OtherWindowsOpenBesideTheMainWindowsControlsAndFitASmallScreen)
{
    ui::showMessage = [](QWidget*, const QString&) {};
    MiraboApp app;
    app.start();
    QCoreApplication::processEvents();
    const QRect screen = app.main.screen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1920, 1080));
    const std::vector<QRect> controls = desktop::controlRects(app.main);
    ASSERT_GT(controls.size(), 30u) << "the steps' fields and buttons are counted";

    for (QWidget* w : std::initializer_list<QWidget*>{&app.measure, &app.matchedSet, &app.realized, &app.rounding}) {
        SCOPED_TRACE(w->windowTitle().toStdString());
        w->show();
        QCoreApplication::processEvents();
        const QRect r = w->frameGeometry();
        EXPECT_TRUE(screen.contains(r));
        for (const QRect& c : controls)
            ASSERT_FALSE(r.intersects(c)) << "covers the control at " << c.x() << "," << c.y();
        EXPECT_LE(r.width(), 1366);
        EXPECT_LE(r.height(), 728) << "room for a panel on a 1366x768 screen";
        w->hide();
    }
}

}  // namespace

int main(int argc, char** argv)
{
    // A screen of the size the windows are laid out for; the platform's own is 800x600.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("screen.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return 1;
    file.write(R"({"screens": [{"name": "screen", "x": 0, "y": 0, "width": 1920, "height": 1080,
                  "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    file.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    return runQtTests(argc, argv, setUpMiraboLook);
}
