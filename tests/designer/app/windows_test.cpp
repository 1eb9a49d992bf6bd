#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "mirabo_app.h"

namespace {

// One fresh program per test; its messages, beeps and file dialog answered here.
struct Mirabo : ::testing::Test {
    std::vector<std::pair<QWidget*, QString>> messages;
    int beeps = 0;
    std::optional<QString> dialogAnswer;
    std::unique_ptr<MiraboApp> app;

    void SetUp() override
    {
        ui::showMessage = [this](QWidget* parent, const QString& text) { messages.emplace_back(parent, text); };
        ui::beep = [this] { ++beeps; };
        ui::chooseSaveFile = [this](QWidget*) { return dialogAnswer; };
        app = std::make_unique<MiraboApp>();
        app->start();
    }
    void TearDown() override { app.reset(); }

    QLineEdit* field(QWidget& window, const char* name) { return window.findChild<QLineEdit*>(name); }
    QLineEdit* field(const char* name) { return field(app->main, name); }
    std::string text(const char* name) { return field(name)->text().toStdString(); }
    void setText(const char* name, const char* text) { field(name)->setText(text); }
    void click(QWidget& window, const char* name)
    {
        auto* b = window.findChild<QAbstractButton*>(name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }
    void click(const char* name) { click(app->main, name); }
    QStringList messageTexts() const
    {
        QStringList out;
        for (const auto& m : messages)
            out << m.second;
        return out;
    }
    void designWithHundredOhms()
    {
        setText("Edit20", "100");
        for (const char* b : {"Button1", "Button2", "Button3", "Button4", "Button5", "Button14"})
            click(b);
    }
};

TEST_F(Mirabo, MainWindowAsBuilt)
{
    MainForm& w = app->main;
    EXPECT_EQ(w.windowTitle(), "Mirabo08:  Crystal Ladder Filter Design ");
    EXPECT_EQ(w.client()->size(), QSize(642, 541));
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(app->help.isVisible() || app->kandq.isVisible() || app->about.isVisible());

    struct Place {
        const char* name;
        QRect rect;
    };
    // A few places, an end-capacitor field inside its panel among them.
    for (const Place& p : {Place{"Edit1", {56, 16, 57, 21}}, Place{"Edit22", {568, 216, 49, 21}},
                           Place{"Button6", {200, 456, 233, 25}}}) {
        auto* c = w.client()->findChild<QWidget*>(p.name);
        ASSERT_NE(c, nullptr) << p.name;
        EXPECT_EQ(QRect(c->mapTo(w.client(), QPoint(0, 0)), c->size()), p.rect) << p.name;
    }
    for (int i = 1; i <= 41; ++i) {
        if (i == 8)
            continue;  // there is no Edit8
        EXPECT_NE(field(QString("Edit%1").arg(i).toLatin1()), nullptr) << i;
    }
    EXPECT_TRUE(w.client()->findChild<QPushButton*>("Button14")->font().bold());
    EXPECT_EQ(w.saveAs->text(), "Save &As...");
    EXPECT_EQ(w.exit->text(), "E&xit");
    EXPECT_EQ(w.about->text(), "About Mirabo");

    // The first show refreshes the fields from the design state; the others keep their defaults.
    EXPECT_EQ(text("Edit9"), "0.5190");
    EXPECT_EQ(text("Edit2"), ".02");
    EXPECT_EQ(text("Edit32"), ".001");
}

// Nothing overlaps and every label's text fits its place, on every window.
TEST_F(Mirabo, ControlsDoNotOverlapAndLabelsFit)
{
    for (QWidget* window : {app->main.client(), static_cast<QWidget*>(&app->help),
                            static_cast<QWidget*>(&app->kandq), static_cast<QWidget*>(&app->about)}) {
        std::vector<QWidget*> controls;
        for (QWidget* c : window->findChildren<QWidget*>()) {
            QWidget* parent = c->parentWidget();
            const bool onClient = parent == window;
            const bool inPanel = parent && parent->parentWidget() == window && parent->objectName().startsWith("Panel");
            if ((onClient || inPanel) && !c->objectName().isEmpty())
                controls.push_back(c);
        }
        ASSERT_GT(controls.size(), 2u);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            QWidget* a = controls[i];
            const QRect ra(a->mapTo(window, QPoint(0, 0)), a->size());
            EXPECT_TRUE(window->rect().contains(ra)) << a->objectName().toStdString();
            if (auto* label = qobject_cast<QLabel*>(a); label && !label->wordWrap() && label->pixmap().isNull()) {
                EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
            }
            for (std::size_t j = i + 1; j < controls.size(); ++j) {
                QWidget* b = controls[j];
                if (a->parentWidget() != b->parentWidget())
                    continue;
                EXPECT_FALSE(ra.intersects(QRect(b->mapTo(window, QPoint(0, 0)), b->size())))
                    << a->objectName().toStdString() << " " << b->objectName().toStdString();
            }
        }
    }
}

TEST_F(Mirabo, DefaultDesignThroughTheButtons)
{
    click("Button1");
    click("Button2");
    click("Button3");
    EXPECT_EQ(text("Edit7"), "55.6");
    click("Button4");
    ASSERT_EQ(messageTexts(), QStringList{"Resistance is too small, so try larger value"});
    EXPECT_EQ(messages[0].first, &app->main);
    EXPECT_EQ(text("Edit21"), "--------");

    messages.clear();
    setText("Edit20", "100");
    click("Button4");
    click("Button5");
    click("Button14");
    EXPECT_TRUE(messages.empty());
    // One result of each button; the core tests check every value.
    const std::pair<const char*, const char*> expected[] = {
        {"Edit21", "142.34"}, {"Edit26", "782.72"}, {"Edit32", "99999.00"}, {"Edit36", "331.70"}};
    for (const auto& [name, value] : expected)
        EXPECT_EQ(text(name), value) << name;
}

TEST_F(Mirabo, ActivationAloneDoesNotRefresh)
{
    setText("Edit9", "0.7");
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&app->main, &activate);
    setText("Edit20", "1");
    click("Button4");  // a message box opens and closes
    EXPECT_EQ(text("Edit9"), "0.7");
}

TEST_F(Mirabo, GeneratorWindowRoundTrip)
{
    click("Button1");
    click("Button2");
    click("Button16");
    EXPECT_FALSE(app->main.isVisible());
    ASSERT_TRUE(app->kandq.isVisible());
    EXPECT_EQ(app->kandq.windowTitle(), "k and q calculations");
    EXPECT_EQ(field(app->kandq, "Edit1")->text(), "5");

    click(app->kandq, "RadioButton2");
    click(app->kandq, "Button2");
    EXPECT_EQ(field(app->kandq, "Edit3")->text(), "0.61803");
    EXPECT_EQ(app->kandq.findChild<QPlainTextEdit*>("Memo1")->toPlainText(),
              "12     1.00000\n23     0.55589\n34     0.55589\n45     1.00000");

    // The panel is the same command.
    click(app->kandq, "RadioButton3");
    field(app->kandq, "Edit1")->setText("4");
    QTest::mouseClick(app->kandq.findChild<QWidget*>("Panel1"), Qt::LeftButton);
    EXPECT_EQ(field(app->kandq, "Edit3")->text(), "1.68179");

    click(app->kandq, "Button1");
    EXPECT_FALSE(app->kandq.isVisible());
    ASSERT_TRUE(app->main.isVisible());
    EXPECT_EQ(text("Edit6"), "4");
    EXPECT_EQ(text("Edit9"), "1.6818");
    EXPECT_EQ(text("Edit11"), "0.5946");
    EXPECT_EQ(text("Edit14"), "1.0000");  // the Butterworth run's k4-5 stays
    EXPECT_EQ(text("Edit15"), "0.0000");  // cleared by step 1

    // An order the tables cannot hold is refused in the generator's own window.
    click("Button16");
    field(app->kandq, "Edit1")->setText("11");
    click(app->kandq, "Button2");
    EXPECT_EQ(messageTexts(), QStringList{"The number of crystals must be from 1 to 10."});
    EXPECT_EQ(messages[0].first, &app->kandq);
    app->kandq.close();  // the title bar's close returns like Button1
    EXPECT_TRUE(app->main.isVisible());
    EXPECT_EQ(text("Edit6"), "4");
}

TEST_F(Mirabo, HelpAndAbout)
{
    app->main.help->trigger();
    EXPECT_FALSE(app->main.isVisible());
    ASSERT_TRUE(app->help.isVisible());
    EXPECT_EQ(app->help.size(), QSize(693, 463));
    const QPixmap picture = app->help.findChild<QLabel*>("Image1")->pixmap();
    EXPECT_EQ(picture.size(), QSize(681, 161));
    EXPECT_TRUE(app->help.findChild<QPlainTextEdit*>("Memo1")->toPlainText().contains("99999"));
    click(app->help, "Button1");
    EXPECT_TRUE(app->main.isVisible());
    EXPECT_FALSE(app->help.isVisible());

    click("Button1");  // clears kk: the return from About shows it
    app->main.about->trigger();
    ASSERT_TRUE(app->about.isVisible());
    EXPECT_EQ(app->about.windowTitle(), "About Mirabo");
    EXPECT_EQ(app->about.size(), QSize(630, 364));
    click(app->about, "Button1");
    EXPECT_TRUE(app->main.isVisible());
    EXPECT_EQ(text("Edit11"), "0.0000");
}

TEST_F(Mirabo, SaveCommands)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    designWithHundredOhms();

    click("Button6");
    EXPECT_EQ(messageTexts(), QStringList{"Circuit saved for analysis with Sorvel.exe"});
    EXPECT_EQ(beeps, 2);
    EXPECT_TRUE(QFile::exists("startfile.cir"));

    dialogAnswer = dir.filePath("chosen.cir");
    app->main.saveAs->trigger();
    EXPECT_TRUE(QFile::exists(*dialogAnswer));
    messages.clear();
    dialogAnswer.reset();  // cancelled: nothing happens
    app->main.saveAs->trigger();
    EXPECT_TRUE(messages.empty());
    QDir::setCurrent(old);
}

}  // namespace
