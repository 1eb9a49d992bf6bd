// The designer's window tests run on the offscreen platform with one QApplication.
#include <QApplication>

#include <gtest/gtest.h>

#include "designer/app/mirabo_app.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setUpMiraboLook();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
