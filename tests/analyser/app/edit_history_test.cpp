// Undo and redo of value edits and tune steps, the title's mark of a changed circuit, the
// question on closing with changes, and the recent files.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QUndoStack>

#include "analyser/core/edit_values.h"
#include "ladder/circuit_file.h"
#include "tests/support/app_test_support.h"

namespace {

QAction* menuAction(MainWindow& main, const char* name) { return main.findChild<QAction*>(name); }

QImage plotArea(RunningSorvel& s) { return s.screen().copy(50, 40, 401, 301); }

TEST(EditHistory, UndoAndRedoValueEditsAndTuneSteps)
{
    RunningSorvel s;
    s.clickControl(Command::Plot);
    Analyser& a = s.app().analyser();
    const double first = a.circuit.part(2).partvalue;
    EXPECT_EQ(s.main().windowTitle(), "Sorvel, 2008 ");

    s.type(Field::EntryNumber, "2");
    s.type(Field::NewValue, "300");
    s.clickControl(Command::LoadNewValue);
    EXPECT_EQ(a.circuit.part(2).partvalue, 300);
    EXPECT_EQ(s.main().windowTitle(), "* Sorvel, 2008 ");
    s.type(Field::TuneEntry, "2");
    s.type(Field::TunePercent, "10");
    s.clickControl(Command::TuneUp);
    EXPECT_NEAR(a.circuit.part(2).partvalue, 330, 1e-9);
    s.clickControl(Command::Plot);  // changes nothing: no step
    EXPECT_EQ(s.app().history().stack().count(), 2);

    QAction* undo = menuAction(s.main(), "undo");
    QAction* redo = menuAction(s.main(), "redo");
    ASSERT_TRUE(undo && redo);
    EXPECT_EQ(undo->shortcut(), QKeySequence("Ctrl+Z"));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence("Ctrl+Shift+Z")));
    const QImage tuned = plotArea(s);
    undo->trigger();
    EXPECT_EQ(a.circuit.part(2).partvalue, 300);
    EXPECT_NE(plotArea(s), tuned) << "undo plots";
    undo->trigger();
    EXPECT_EQ(a.circuit.part(2).partvalue, first);
    EXPECT_EQ(s.main().windowTitle(), "Sorvel, 2008 ") << "back where it was read";
    redo->trigger();
    redo->trigger();
    EXPECT_NEAR(a.circuit.part(2).partvalue, 330, 1e-9);
    EXPECT_EQ(plotArea(s), tuned);

    // Saved: no longer marked; a file read forgets the steps.
    s.saveAnswers.push_back(s.path("saved.cir").toStdString());
    s.main().action(Command::SaveCircuitAs)->trigger();
    EXPECT_EQ(s.main().windowTitle(), "Sorvel, 2008 ");
    s.openAnswers.push_back(s.path("startfile.cir").toStdString());
    s.main().action(Command::OpenCircuit)->trigger();
    EXPECT_FALSE(undo->isEnabled());
}

TEST(EditHistory, ClosingWithChangesAsks)
{
    using U = SorvelApp::Unsaved;
    RunningSorvel s;
    s.clickControl(Command::Plot);
    s.main().action(Command::Quit)->trigger();  // nothing changed: closes without asking
    EXPECT_EQ(s.unsavedQuestions, 0);
    EXPECT_FALSE(s.main().isVisible());
    s.main().show();
    ASSERT_TRUE(s.waitForActivations(2));
    s.clickControl(Command::Plot);

    s.type(Field::EntryNumber, "2");
    s.type(Field::NewValue, "300");
    s.clickControl(Command::LoadNewValue);
    s.unsavedAnswer = U::Cancel;
    s.main().action(Command::Quit)->trigger();
    EXPECT_EQ(s.unsavedQuestions, 1);
    EXPECT_TRUE(s.main().isVisible());
    s.main().close();  // the window's own close button asks too
    EXPECT_EQ(s.unsavedQuestions, 2);
    EXPECT_TRUE(s.main().isVisible());

    s.unsavedAnswer = U::Save;
    s.main().action(Command::Quit)->trigger();
    EXPECT_FALSE(s.main().isVisible());
    EXPECT_EQ(readCircuitFile(s.path("startfile.cir").toStdString()).part(2).partvalue, 300);
}

TEST(EditHistory, ExitButtonAndSaveAsDefaultKeepTheirWay)
{
    RunningSorvel s;
    s.clickControl(Command::Plot);
    s.type(Field::EntryNumber, "2");
    s.type(Field::NewValue, "300");
    s.clickControl(Command::LoadNewValue);
    s.clickControl(Command::QuitButton);
    EXPECT_EQ(s.unsavedQuestions, 0);
    EXPECT_FALSE(s.main().isVisible());
    EXPECT_NE(readCircuitFile(s.path("startfile.cir").toStdString()).part(2).partvalue, 300) << "nothing saved";

    s.main().show();
    ASSERT_TRUE(s.waitForActivations(2));
    s.clickControl(Command::Plot);
    s.type(Field::NewValue, "310");
    s.clickControl(Command::LoadNewValue);
    s.clickControl(Command::SaveAsDefaultAndExit);
    EXPECT_EQ(s.unsavedQuestions, 0);
    EXPECT_FALSE(s.main().isVisible());
    EXPECT_EQ(readCircuitFile(s.path("startfile.cir").toStdString()).part(2).partvalue, 310);
}

TEST(RecentFiles, LastEightCircuitsAndMeasurementsReopen)
{
    EXPECT_EQ(withRecentFile({"a", "b", "c"}, "b"), (std::vector<std::string>{"b", "a", "c"}));
    std::vector<std::string> list;
    for (int i = 0; i < 10; ++i)
        list = withRecentFile(list, std::to_string(i));
    EXPECT_EQ(list, (std::vector<std::string>{"9", "8", "7", "6", "5", "4", "3", "2"}));

    RunningSorvel s;
    QFile::copy(s.path("startfile.cir"), s.path("other.cir"));
    s.openAnswers.push_back(s.path("other.cir").toStdString());
    s.main().action(Command::OpenCircuit)->trigger();
    s.openAnswers.push_back(s.path("startfile.cir").toStdString());
    s.main().action(Command::OpenCircuit)->trigger();
    EXPECT_EQ(s.app().analyser().circuitfile, s.path("startfile.cir").toStdString());

    auto* menu = s.main().findChild<QMenu*>("RecentFiles1");
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    const auto actions = menu->actions();
    ASSERT_GE(actions.size(), 2);
    EXPECT_EQ(actions[0]->data().toString(), s.path("startfile.cir"));
    EXPECT_EQ(actions[1]->data().toString(), s.path("other.cir"));
    actions[1]->trigger();
    EXPECT_EQ(s.app().analyser().circuitfile, s.path("other.cir").toStdString());
    EXPECT_TRUE(s.messages.empty());
}

}  // namespace
