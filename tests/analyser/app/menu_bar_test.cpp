// The whole menu bar as the running program builds it, every window's menus included.

#include <gtest/gtest.h>

#include <QMenuBar>

#include "tests/support/app_test_support.h"

namespace {

// Alt and a letter reaches one menu: two menus sharing a letter would each take turns.
TEST(MenuBar, EveryMenuHasALetterOfItsOwn)
{
    RunningSorvel s;
    QSet<QChar> letters;
    for (QAction* a : s.main().menuBar()->actions()) {
        const QString text = a->text();
        const qsizetype amp = text.indexOf('&');
        if (amp < 0 || amp + 1 >= text.size())
            continue;
        const QChar letter = text[amp + 1].toLower();
        EXPECT_FALSE(letters.contains(letter)) << text.toStdString();
        letters.insert(letter);
    }
    EXPECT_GE(letters.size(), 7);
}

}  // namespace
