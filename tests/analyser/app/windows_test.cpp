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

#include "control_table.h"
#include "qt_window_port.h"
#include "windows.h"

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
        const char* name;
        const char* metaClass;
        QString text;
        QPoint pos;
        QSize size;  // empty: sized to the text
    };
    const Expect expected[] = {
        {"Button3", "QPushButton", "Plot ", {0, 112}, {}},
        {"Edit6", "QLineEdit", "0", {32, 40}, {17, 21}},
        {"Edit3", "QLineEdit", "25", {352, 344}, {}},
        {"Edit1", "QLineEdit", "file", {416, 344}, {}},
        {"Label23", "QLabel", "Click anywhere in the blue to update and plot.", {72, 128}, {}},
        {"CheckBox2", "QCheckBox", "Plot S11 ", {456, 404}, {}},
        {"Button11", "QPushButton", " Place Cursor", {0, 376}, {}},
        {"Edit5", "QLineEdit", "Edit5", {224, 488}, {}},
        {"Edit16", "QLineEdit", "--", {424, 376}, {}},
        {"Button5", "QPushButton", " Click to load new value ", {456, 304}, {}},
        {"Memo2", "QPlainTextEdit", "", {456, 48}, {177, 197}},
        {"GroupBox1", "QGroupBox", "Value Tune Mode ", {0, 424}, {441, 49}},
        {"Edit18", "QLineEdit", "4", {189, 16}, {}},  // inside the group box
        {"Button1", "QPushButton", "Save as Default File and Exit.", {448, 456}, {233, 25}},
        {"Button13", "QPushButton", "exit", {608, 488}, {75, 25}},
        {"Label7", "QLabel", caption(w.control("Label7")), {24, 480}, {166, 16}},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.name);
        QWidget* c = w.control(e.name);
        EXPECT_EQ(c->objectName(), e.name);
        EXPECT_STREQ(c->metaObject()->className(), e.metaClass);
        EXPECT_EQ(caption(c), e.text);
        EXPECT_EQ(c->pos(), e.pos);
        if (!e.size.isEmpty()) {
            EXPECT_EQ(c->size(), e.size);
        }
    }
    EXPECT_EQ(w.control("Edit18")->parentWidget(), w.control("GroupBox1"));
    EXPECT_TRUE(qobject_cast<QCheckBox*>(w.control("CheckBox2"))->isChecked());
    EXPECT_FALSE(qobject_cast<QCheckBox*>(w.control("CheckBox3"))->isChecked());
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(w.control("Memo2"))->verticalScrollBarPolicy(),
              Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(w.control("Label23")->font().bold());
}

// Overlapping controls would hide each other's text; labels are sized to their text,
// so this also catches a caption running into its neighbour or off the window.
TEST(MainWindow, ControlsNeitherOverlapNorLeaveTheClientArea)
{
    MainWindow w;
    for (QWidget* surface : {static_cast<QWidget*>(w.client()), w.control("GroupBox1")}) {
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
    for (const auto& [name, c] : w.controls())
        EXPECT_TRUE(w.client()->rect().contains(QRect(c->mapTo(w.client(), QPoint(0, 0)), c->size()))) << name;
}

TEST(MainWindow, MenuHasFileItemsThenAbout)
{
    MainWindow w;
    const auto top = w.menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), "&File");
    EXPECT_EQ(top[1]->text(), "About Sorvel");
    EXPECT_EQ(top[1]->menu(), nullptr) << "acts on click";
    QStringList items;
    for (QAction* a : top[0]->menu()->actions())
        items << (a->isSeparator() ? "-" : a->text()) + "/" + a->objectName();
    EXPECT_EQ(items, (QStringList{"&Open.../Open1", "Save &As.../SaveAs1", "-/N2", "-/N1",
                                  "E&xit/Exit1"}));
}

TEST(AboutWindow, CaptionSizeAndTexts)
{
    AboutWindow a;
    EXPECT_EQ(a.windowTitle(), "About Sorvel");
    EXPECT_EQ(a.size(), QSize(584, 335));
    EXPECT_EQ(a.pos(), QPoint(259, 146));
    EXPECT_EQ(caption(a.control("Label4")),
              "This 2008 version differs from the earlier one in that it starts by reading a "
              "file named \"Startfile.\"");
    EXPECT_EQ(caption(a.control("Label5")),
              "This file describes the circuit for the first analysis.   This file can be "
              "generated by ");
    EXPECT_EQ(caption(a.control("Label6")),
              "one of several filter design programs.  Sorvel will also read named files.  ");
    EXPECT_EQ(a.control("Label6")->pos(), QPoint(13, 152));
    EXPECT_EQ(caption(a.control("Button1")), "Return to program");
    EXPECT_EQ(a.control("Button1")->geometry(), QRect(56, 184, 193, 25));
    EXPECT_EQ(a.control("Label2")->geometry(), QRect(24, 56, 457, 48));
    EXPECT_TRUE(qobject_cast<QLabel*>(a.control("Label2"))->wordWrap());
    EXPECT_TRUE(a.control("Label1")->font().bold());
    for (const char* name : {"Label1", "Label4", "Label5", "Label6"})
        EXPECT_LE(a.control(name)->geometry().right(), 584) << name << " runs off the window";
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
