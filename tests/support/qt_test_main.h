#pragma once
// The main of a test program that needs a QApplication: the offscreen platform unless one is
// named, settings in a scratch folder (never the user's), then the tests.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

// `setUp` runs once the application exists, before the tests (a program's own look).
inline int runQtTests(int argc, char** argv, void (*setUp)() = nullptr)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir.path());
    if (setUp)
        setUp();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
