// These tests need a screen of a person's size, not the offscreen platform's 800 x 600:
// a 1920 x 1080 offscreen screen, with window frames and no window manager.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/support/qt_test_main.h"

int main(int argc, char** argv)
{
    QTemporaryDir dir;
    const QString config = dir.filePath("screen.json");
    QFile f(config);
    if (!f.open(QIODevice::WriteOnly))
        return 2;
    f.write(R"({"windowFrameMargins": true, "screens": [{"name": "desk", "x": 0, "y": 0,
              "width": 1920, "height": 1080, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    f.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).toLocal8Bit());
    return runQtTests(argc, argv);
}
