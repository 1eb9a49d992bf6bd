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
#include <set>
#include <span>

#include "designer/app/mirabo_app.h"

namespace {

using design::Command;
using design::Field;

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

    QLineEdit* field(Field f) { return controlAs<QLineEdit>(app->mainControls, f); }
    QLineEdit* kqField(kq::Field f) { return controlAs<QLineEdit>(app->kandqControls, f); }
    std::string text(Field f) { return field(f)->text().toStdString(); }
    void setText(Field f, const char* text) { field(f)->setText(text); }
    void click(const Controls& window, ControlId button)
    {
        auto* b = controlAs<QAbstractButton>(window, button);
        ASSERT_NE(b, nullptr);
        b->click();
    }
    void click(Command c) { click(app->mainControls, c); }
    QStringList messageTexts() const
    {
        QStringList out;
        for (const auto& m : messages)
            out << m.second;
        return out;
    }
    void designWithHundredOhms()
    {
        setText(Field::EndR, "100");
        for (Command c : {Command::CharacterizeCrystal, Command::SetBandwidthAndOrder, Command::SetEndQ,
                          Command::MatchEnds, Command::ComputeCouplingCapacitors, Command::TuneMeshes})
            click(c);
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
        ControlId id;
        QRect rect;
    };
    // A few places, an end-capacitor field inside its panel among them.
    for (const Place& p : {Place{Field::CrystalMhz, {56, 16, 57, 21}}, Place{Field::EndCn, {568, 216, 49, 21}},
                           Place{Command::SaveDefaultFile, {200, 456, 233, 25}}}) {
        QWidget* c = app->mainControls.at(p.id);
        EXPECT_EQ(QRect(c->mapTo(w.client(), QPoint(0, 0)), c->size()), p.rect) << c->objectName().toStdString();
    }
    for (int f = 0; f <= static_cast<int>(Field::TuningC10); ++f)
        EXPECT_NE(field(static_cast<Field>(f)), nullptr) << f;
    EXPECT_TRUE(controlAs<QPushButton>(app->mainControls, Command::TuneMeshes)->font().bold());
    EXPECT_EQ(w.saveAs->text(), "Save &As...");
    EXPECT_EQ(w.exit->text(), "E&xit");
    EXPECT_EQ(w.about->text(), "About Mirabo");

    // The first show refreshes the fields from the design state; the others keep their defaults.
    EXPECT_EQ(text(Field::Q1), "0.5190");
    EXPECT_EQ(text(Field::MotionalL), ".02");
    EXPECT_EQ(text(Field::TuningC1), ".001");
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

// Each row's identifier finds its own widget, which carries the row's designer name:
// identifiers of different enums with the same value must not share a widget.
TEST(ControlTables, OneWidgetPerRowNamedAsTheRow)
{
    const std::pair<const char*, std::span<const ControlSpec>> tables[] = {
        {"main", mainWindowControls()},
        {"help", helpWindowControls()},
        {"k and q", kandqWindowControls()},
        {"about", aboutWindowControls()},
    };
    for (const auto& [window, table] : tables) {
        QWidget surface;
        const Controls made = buildControls(&surface, table);
        EXPECT_EQ(made.size(), table.size()) << window;
        std::set<std::string> names;
        for (const ControlSpec& row : table) {
            EXPECT_TRUE(names.insert(row.name).second) << window << " " << row.name;
            const auto it = made.find(row.id);
            ASSERT_NE(it, made.end()) << window << " " << row.name;
            EXPECT_EQ(it->second->objectName().toStdString(), row.name) << window;
        }
    }
}

// The mesh-numbered fields stand right of the captions with their numbers.
TEST_F(Mirabo, MeshNumberedFieldsBesideTheirCaptions)
{
    auto labelWithText = [this](const QString& caption) -> QLabel* {
        for (const auto& [id, w] : app->mainControls)
            if (auto* label = qobject_cast<QLabel*>(w); label && label->text() == caption)
                return label;
        return nullptr;
    };
    auto expectBeside = [&](const QString& caption, Field f) {
        const QLabel* label = labelWithText(caption);
        ASSERT_NE(label, nullptr) << caption.toStdString();
        const QRect l = label->geometry(), r = field(f)->geometry();
        EXPECT_GT(r.left(), l.right()) << caption.toStdString();
        EXPECT_LE(r.left() - l.right(), 3) << caption.toStdString();
        EXPECT_NEAR(l.center().y(), r.center().y(), 1) << caption.toStdString();
    };
    for (int j = 1; j <= 9; ++j) {
        expectBeside(QString("k%1-%2").arg(j).arg(j + 1), design::couplingField(j));
        expectBeside(j < 9 ? QString("C%1%2=").arg(j).arg(j + 1) : QString("C9-10="), design::couplingCapField(j));
    }
    for (int i = 1; i <= 10; ++i)
        expectBeside(QString("CT%1=").arg(i), design::tuningCapField(i));
}

TEST_F(Mirabo, DefaultDesignThroughTheButtons)
{
    click(Command::CharacterizeCrystal);
    click(Command::SetBandwidthAndOrder);
    click(Command::SetEndQ);
    EXPECT_EQ(text(Field::MinEndR), "55.6");
    click(Command::MatchEnds);
    ASSERT_EQ(messageTexts(), QStringList{"Resistance is too small, so try larger value"});
    EXPECT_EQ(messages[0].first, &app->main);
    EXPECT_EQ(text(Field::EndC1), "--------");

    messages.clear();
    setText(Field::EndR, "100");
    click(Command::MatchEnds);
    click(Command::ComputeCouplingCapacitors);
    click(Command::TuneMeshes);
    EXPECT_TRUE(messages.empty());
    // One result of each button; the core tests check every value.
    const std::pair<Field, const char*> expected[] = {
        {Field::EndC1, "142.34"}, {Field::CouplingC45, "782.72"}, {Field::TuningC1, "99999.00"}, {Field::TuningC5, "331.70"}};
    for (const auto& [f, value] : expected)
        EXPECT_EQ(text(f), value) << field(f)->objectName().toStdString();
}

TEST_F(Mirabo, ActivationAloneDoesNotRefresh)
{
    setText(Field::Q1, "0.7");
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&app->main, &activate);
    setText(Field::EndR, "1");
    click(Command::MatchEnds);  // a message box opens and closes
    EXPECT_EQ(text(Field::Q1), "0.7");
}

TEST_F(Mirabo, GeneratorWindowRoundTrip)
{
    click(Command::CharacterizeCrystal);
    click(Command::SetBandwidthAndOrder);
    click(Command::OpenGenerator);
    EXPECT_FALSE(app->main.isVisible());
    ASSERT_TRUE(app->kandq.isVisible());
    EXPECT_EQ(app->kandq.windowTitle(), "k and q calculations");
    EXPECT_EQ(kqField(kq::Field::CrystalCount)->text(), "5");

    click(app->kandqControls, kq::Command::ChooseButterworth);
    click(app->kandqControls, kq::Command::Calculate);
    EXPECT_EQ(kqField(kq::Field::Q1)->text(), "0.61803");
    EXPECT_EQ(controlAs<QPlainTextEdit>(app->kandqControls, kq::Memo::Couplings)->toPlainText(),
              "12     1.00000\n23     0.55589\n34     0.55589\n45     1.00000");

    // The panel is the same command.
    click(app->kandqControls, kq::Command::ChooseMinimumLoss);
    kqField(kq::Field::CrystalCount)->setText("4");
    QTest::mouseClick(app->kandqControls.at(kq::Panel::Calculate), Qt::LeftButton);
    EXPECT_EQ(kqField(kq::Field::Q1)->text(), "1.68179");

    click(app->kandqControls, kq::Command::ReturnToDesign);
    EXPECT_FALSE(app->kandq.isVisible());
    ASSERT_TRUE(app->main.isVisible());
    EXPECT_EQ(text(Field::CrystalCount), "4");
    EXPECT_EQ(text(Field::Q1), "1.6818");
    EXPECT_EQ(text(Field::K12), "0.5946");
    EXPECT_EQ(text(Field::K45), "1.0000");  // the Butterworth run's k4-5 stays
    EXPECT_EQ(text(Field::K56), "0.0000");  // cleared by step 1

    // An order the tables cannot hold is refused in the generator's own window.
    click(Command::OpenGenerator);
    kqField(kq::Field::CrystalCount)->setText("11");
    click(app->kandqControls, kq::Command::Calculate);
    EXPECT_EQ(messageTexts(), QStringList{"The number of crystals must be from 1 to 10."});
    EXPECT_EQ(messages[0].first, &app->kandq);
    app->kandq.close();  // the title bar's close returns like the return button
    EXPECT_TRUE(app->main.isVisible());
    EXPECT_EQ(text(Field::CrystalCount), "4");
}

TEST_F(Mirabo, HelpAndAbout)
{
    app->main.help->trigger();
    EXPECT_FALSE(app->main.isVisible());
    ASSERT_TRUE(app->help.isVisible());
    EXPECT_EQ(app->help.size(), QSize(693, 463));
    const QPixmap picture = controlAs<QLabel>(app->helpControls, help::Picture::Schematic)->pixmap();
    EXPECT_EQ(picture.size(), QSize(681, 161));
    EXPECT_TRUE(controlAs<QPlainTextEdit>(app->helpControls, help::Memo::Text)->toPlainText().contains("99999"));
    click(app->helpControls, help::Command::ReturnToDesign);
    EXPECT_TRUE(app->main.isVisible());
    EXPECT_FALSE(app->help.isVisible());

    click(Command::CharacterizeCrystal);  // clears the couplings: the return from About shows it
    app->main.about->trigger();
    ASSERT_TRUE(app->about.isVisible());
    EXPECT_EQ(app->about.windowTitle(), "About Mirabo");
    EXPECT_EQ(app->about.size(), QSize(630, 364));
    click(app->aboutControls, about::Command::ReturnToDesign);
    EXPECT_TRUE(app->main.isVisible());
    EXPECT_EQ(text(Field::K12), "0.0000");
}

TEST_F(Mirabo, SaveCommands)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    designWithHundredOhms();

    click(Command::SaveDefaultFile);
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
