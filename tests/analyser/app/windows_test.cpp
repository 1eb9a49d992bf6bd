// The windows as built from their tables: names, captions, places and sizes.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <type_traits>
#include <variant>

#include "analyser/app/control_table.h"
#include "analyser/app/qt_window_port.h"
#include "analyser/app/windows.h"

namespace {

QString caption(QWidget* w)
{
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(w))
        return g->title();
    return {};
}

// The port and the wiring find widgets by identifier: a row whose identifier does not
// fit its widget (a Field on a button, a Command on a label) would fail only at use.
TEST(ControlTable, EveryRowBuildsOneWidgetOfItsIdentifiersKind)
{
    MainWindow main;
    AboutWindow about;
    const struct {
        std::span<const ControlRow> rows;
        const Controls& built;
    } windows[] = {{mainWindowControls(), main.controls()}, {aboutWindowControls(), about.controls()}};
    for (const auto& window : windows) {
        EXPECT_EQ(window.built.size(), window.rows.size()) << "identifiers are unique";
        QStringList names;
        for (const ControlRow& row : window.rows) {
            SCOPED_TRACE(row.name);
            QWidget* c = window.built.at(row.id);
            EXPECT_EQ(c->objectName(), row.name);
            names << c->objectName();
            const char* expected = std::visit(
                [](auto id) {
                    using T = decltype(id);
                    if constexpr (std::is_same_v<T, Field>)
                        return "QLineEdit";
                    else if constexpr (std::is_same_v<T, Check>)
                        return "QCheckBox";
                    else if constexpr (std::is_same_v<T, Memo>)
                        return "QPlainTextEdit";
                    else if constexpr (std::is_same_v<T, Label>)
                        return "QLabel";
                    else if constexpr (std::is_same_v<T, GroupBox>)
                        return "QGroupBox";
                    else
                        return "QPushButton";
                },
                row.id);
            EXPECT_STREQ(c->metaObject()->className(), expected);
            if (row.kind != ControlKind::Memo) {
                EXPECT_EQ(caption(c), QString::fromUtf8(row.text));
            }
        }
        names.removeDuplicates();
        EXPECT_EQ(names.size(), qsizetype(window.rows.size())) << "object names are unique";
    }
}

TEST(MainWindow, CaptionClientAreaAndPlace)
{
    MainWindow w;
    w.show();
    EXPECT_EQ(w.windowTitle(), "Sorvel, 2008 ");
    EXPECT_EQ(w.client()->size(), QSize(741, 576));
    EXPECT_EQ(w.client()->mapTo(&w, QPoint(0, 0)), QPoint(0, w.menuBar()->height()));
    EXPECT_EQ(w.pos(), QPoint(210, 105));
    EXPECT_TRUE(w.client()->hasMouseTracking());
}

TEST(MainWindow, SampleControlsHaveTheirKindTextPlaceAndSize)
{
    MainWindow w;
    struct Expect {
        ControlId id;
        const char* metaClass;
        QString text;
        QPoint pos;
        QSize size;  // empty: sized to the text
    };
    const Expect expected[] = {
        {Command::Plot, "QPushButton", "Plot ", {0, 112}, {}},
        {Field::TopDb, "QLineEdit", "0", {32, 40}, {17, 21}},
        {Field::StopFreq, "QLineEdit", "25", {352, 344}, {}},
        {Field::CircuitFile, "QLineEdit", "file", {416, 344}, {}},
        {Label::PlotHint, "QLabel", "Click anywhere in the blue to update and plot.", {72, 128}, {}},
        {Check::PlotS11, "QCheckBox", "Plot S11 ", {456, 404}, {}},
        {Command::PlaceCursor, "QPushButton", " Place Cursor", {0, 376}, {}},
        {Field::CursorFreq, "QLineEdit", "0", {248, 376}, {}},
        {Field::CursorS21, "QLineEdit", "--", {424, 376}, {}},
        {Command::LoadNewValue, "QPushButton", " Click to load new value ", {456, 304}, {}},
        {Memo::Listing, "QPlainTextEdit", "", {456, 48}, {177, 197}},
        {GroupBox::ValueTune, "QGroupBox", "Value Tune Mode ", {0, 424}, {441, 49}},
        {Field::TuneEntry, "QLineEdit", "4", {189, 16}, {}},  // inside the group box
        {Command::SaveAsDefaultAndExit, "QPushButton", "Save as Default File and Exit.", {448, 456},
         {233, 25}},
        {Command::QuitButton, "QPushButton", "exit", {608, 488}, {75, 25}},
        {Label::ProgramName, "QLabel", caption(w.control(Label::ProgramName)), {24, 480}, {166, 16}},
    };
    for (const Expect& e : expected) {
        QWidget* c = w.control(e.id);
        SCOPED_TRACE(c->objectName().toStdString());
        EXPECT_STREQ(c->metaObject()->className(), e.metaClass);
        EXPECT_EQ(caption(c), e.text);
        EXPECT_EQ(c->pos(), e.pos);
        if (!e.size.isEmpty()) {
            EXPECT_EQ(c->size(), e.size);
        }
    }
    EXPECT_EQ(w.control(Field::TuneEntry)->parentWidget(), w.control(GroupBox::ValueTune));
    EXPECT_TRUE(qobject_cast<QCheckBox*>(w.control(Check::PlotS11))->isChecked());
    EXPECT_FALSE(qobject_cast<QCheckBox*>(w.control(Check::PlotReference))->isChecked());
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(w.control(Memo::Listing))->verticalScrollBarPolicy(),
              Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(w.control(Label::PlotHint)->font().bold());
}

// Overlapping controls would hide each other's text; labels are sized to their text,
// so this also catches a caption running into its neighbour or off the window.
TEST(MainWindow, ControlsNeitherOverlapNorLeaveTheClientArea)
{
    MainWindow w;
    for (QWidget* surface : {static_cast<QWidget*>(w.client()), w.control(GroupBox::ValueTune)}) {
        const auto children = surface->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < children.size(); ++i)
            for (qsizetype j = i + 1; j < children.size(); ++j) {
                QWidget *a = children[i], *b = children[j];
                if (a->objectName().isEmpty() || b->objectName().isEmpty())
                    continue;  // the group box's own parts
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->objectName().toStdString() << " and " << b->objectName().toStdString();
            }
    }
    for (const auto& [id, c] : w.controls())
        EXPECT_TRUE(w.client()->rect().contains(QRect(c->mapTo(w.client(), QPoint(0, 0)), c->size())))
            << c->objectName().toStdString();
}

TEST(MainWindow, MenuHasFileItemsThenAboutThenResponseAndTolerance)
{
    MainWindow w;
    const auto top = w.menuBar()->actions();
    ASSERT_EQ(top.size(), 5);
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->text(), "About Sorvel");
    EXPECT_EQ(top[1]->menu(), nullptr) << "acts on click";
    EXPECT_EQ(top[2]->text(), "&Response...");
    EXPECT_EQ(top[2]->menu(), nullptr);
    EXPECT_EQ(top[3]->text(), "&Tolerance...");
    EXPECT_EQ(top[3]->menu(), nullptr) << "acts on click";
    EXPECT_EQ(top[4]->text(), "Fit to &Measurement...");
    EXPECT_EQ(top[4]->menu(), nullptr) << "acts on click";
    QStringList items;
    for (QAction* a : top[0]->menu()->actions())
        items << (a->isSeparator() ? "-" : a->text());
    // The measurement and output commands sit between the two separators.
    EXPECT_EQ(items, (QStringList{"&Open...", "Save &As...", "-", "Open &Measurement...", "&Clear Measurement",
                                  "Export &Touchstone...", "Export Touchstone 1.1 at &50 Ohms...",
                                  "Save Plot &Image...", "-", "E&xit"}));
    // Object names, separators' included, as the menu table gives them.
    const auto rows = fileMenuItems();
    ASSERT_EQ(top[0]->menu()->actions().size(), qsizetype(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(top[0]->menu()->actions()[qsizetype(i)]->objectName(), rows[i].name);
    EXPECT_EQ(top[1]->objectName(), menuBarItems()[0].name);
    EXPECT_EQ(top[2]->objectName(), menuBarItems()[1].name);
}

TEST(MainWindow, EachMenuCommandIsTheItemWithItsCaption)
{
    MainWindow w;
    for (auto [command, text] : {std::pair{Command::OpenCircuit, "&Open..."},
                                 {Command::SaveCircuitAs, "Save &As..."},
                                 {Command::Quit, "E&xit"},
                                 {Command::ShowAbout, "About Sorvel"},
                                 {Command::ShowTolerance, "&Tolerance..."}})
        EXPECT_EQ(w.action(command)->text(), text);
    // Set explicitly: some desktops have no standard Save As key.
    for (auto [command, keys] : {std::pair{Command::OpenCircuit, "Ctrl+O"},
                                 {Command::SaveCircuitAs, "Ctrl+Shift+S"},
                                 {Command::Quit, "Ctrl+Q"}})
        EXPECT_EQ(w.action(command)->shortcut(), QKeySequence(keys)) << keys;
    EXPECT_THROW(w.action(Command::Plot), std::invalid_argument) << "a button, not a menu item";
}

TEST(AboutWindow, CaptionSizeAndTexts)
{
    AboutWindow a;
    EXPECT_EQ(a.windowTitle(), "About Sorvel");
    EXPECT_EQ(a.size(), QSize(584, 335));
    EXPECT_EQ(a.pos(), QPoint(259, 146));
    EXPECT_EQ(caption(a.control(Label::AboutStartFile)),
              "This 2008 version differs from the earlier one in that it starts by reading a "
              "file named \"Startfile.\"");
    EXPECT_EQ(caption(a.control(Label::AboutFileUse)),
              "This file describes the circuit for the first analysis.   This file can be "
              "generated by ");
    EXPECT_EQ(caption(a.control(Label::AboutFileSources)),
              "one of several filter design programs.  Sorvel will also read named files.  ");
    EXPECT_EQ(a.control(Label::AboutFileSources)->pos(), QPoint(13, 152));
    EXPECT_EQ(caption(a.control(Command::ReturnToProgram)), "Return to program");
    EXPECT_EQ(a.control(Command::ReturnToProgram)->geometry(), QRect(56, 184, 193, 25));
    EXPECT_EQ(a.control(Label::AboutPurpose)->geometry(), QRect(24, 56, 457, 48));
    EXPECT_TRUE(qobject_cast<QLabel*>(a.control(Label::AboutPurpose))->wordWrap());
    EXPECT_TRUE(a.control(Label::AboutTitle)->font().bold());
    for (Label line :
         {Label::AboutTitle, Label::AboutStartFile, Label::AboutFileUse, Label::AboutFileSources})
        EXPECT_LE(a.control(line)->geometry().right(), 584)
            << a.control(line)->objectName().toStdString() << " runs off the window";
}

TEST(FileDialogs, FilterSuffixAndOverwritePrompt)
{
    auto open = makeFileDialog(nullptr, false);
    // Qt trims the description's leading space.
    EXPECT_EQ(open->nameFilters(), QStringList{"Sorvel circuit.cir (*.cir)"});
    EXPECT_EQ(open->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(open->defaultSuffix(), "cir");
    EXPECT_EQ(open->directory().absolutePath(), QDir::current().absolutePath());

    auto save = makeFileDialog(nullptr, true);
    EXPECT_EQ(save->nameFilters(), QStringList{"Sorvel Circuit .cir (*.cir)"});
    EXPECT_EQ(save->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save->defaultSuffix(), "cir");
    EXPECT_FALSE(save->testOption(QFileDialog::DontConfirmOverwrite));
}

}  // namespace
