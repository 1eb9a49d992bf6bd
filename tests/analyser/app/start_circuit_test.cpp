// The circuit Sorvel starts from: the start file where there is one, the bundled example in
// a fresh folder, and a file named on the command line.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/support/app_test_support.h"
#include "analyser/app/start_circuit.h"

namespace {

using Lines = std::vector<std::string>;

const QColor kRed(255, 0, 0);
constexpr QPoint kOnVerticalGridLine{77, 320};

int redInPlot(const QImage& img)
{
    int n = 0;
    for (int y = 41; y < 339; ++y)
        for (int x = 51; x < 449; ++x)
            n += img.pixelColor(x, y) == kRed;
    return n;
}

// The program as main() starts it, from a build tree whose installed example is missing.
void startAsMainDoes(SorvelApp& app)
{
    startSorvel(app, chooseStartCircuit(std::nullopt, bundledExamplePaths("/nonexistent/bin")));
}

TEST(StartCircuit, ChoiceByWhatTheFolderHolds)
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const std::string missing = dir.filePath("missing.cir").toStdString();
    const std::string example = dir.filePath("example.cir").toStdString();
    QFile(dir.filePath("example.cir")).open(QIODevice::WriteOnly);

    struct Case {
        const char* what;
        bool startFile;
        std::optional<std::string> named;
        std::vector<std::string> examples;
        std::string file;
        bool bundled;
    };
    const Case cases[] = {
        {"fresh folder", false, std::nullopt, {missing, example}, example, true},
        {"folder with a start file", true, std::nullopt, {example}, "startfile.cir", false},
        {"named file wins", true, "other.cir", {example}, "other.cir", false},
        {"named file, even a missing one", false, "gone.cir", {example}, "gone.cir", false},
        {"no example anywhere", false, std::nullopt, {missing}, "startfile.cir", false},
    };
    for (const Case& c : cases) {
        QFile::remove("startfile.cir");
        if (c.startFile)
            QFile(dir.filePath("startfile.cir")).open(QIODevice::WriteOnly);
        const StartCircuit start = chooseStartCircuit(c.named, c.examples);
        EXPECT_EQ(start.file, c.file) << c.what;
        EXPECT_EQ(start.bundledExample, c.bundled) << c.what;
    }
    QDir::setCurrent(old);
}

TEST(StartCircuit, ExampleIsFoundRelativeToTheProgramAndNamedAbsolutely)
{
    QTemporaryDir prefix;
    QDir(prefix.path()).mkpath("bin");
    QDir(prefix.path()).mkpath("share/sorvel/examples");
    const QString installed = prefix.filePath("share/sorvel/examples/lowpass-7-pole.cir");
    QFile(installed).open(QIODevice::WriteOnly);
    QTemporaryDir empty;
    const QString old = QDir::currentPath();
    QDir::setCurrent(empty.path());
    const StartCircuit start =
        chooseStartCircuit(std::nullopt, bundledExamplePaths(prefix.filePath("bin").toStdString()));
    QDir::setCurrent(old);
    EXPECT_TRUE(start.bundledExample);
    EXPECT_EQ(start.file, QFileInfo(installed).canonicalFilePath().toStdString())
        << "no bin/.. left in the name the file field shows";
}

TEST(StartCircuit, FreshFolderShowsTheExamplesResponseWithoutAMessage)
{
    RunningSorvel s(false, startAsMainDoes);
    EXPECT_TRUE(s.messages.empty());
    EXPECT_EQ(s.beeps, 1);
    EXPECT_FALSE(s.hintShown());
    const std::string file = s.field(Field::CircuitFile);
    EXPECT_TRUE(file.ends_with("/lowpass-7-pole.cir")) << file;
    EXPECT_EQ((Lines{s.field(Field::StartFreq), s.field(Field::StopFreq), s.field(Field::BottomDb)}), (Lines{"0.00", "30.00", "-80.0"}));
    EXPECT_GT(redInPlot(s.screen()), 400) << "the example's S21 trace";
    EXPECT_FALSE(QFile::exists(s.path("startfile.cir"))) << "nothing is written into the folder";

    // Later activations read the example again, as they would read a start file.
    s.main().hide();
    s.main().show();
    ASSERT_TRUE(s.waitForActivations(2));
    EXPECT_TRUE(s.messages.empty());
    EXPECT_TRUE(s.hintShown());
}

TEST(StartCircuit, FolderWithAStartFileBehavesAsBefore)
{
    RunningSorvel s(true, startAsMainDoes);
    EXPECT_TRUE(s.messages.empty());
    EXPECT_TRUE(s.hintShown()) << "read, not yet plotted";
    EXPECT_EQ(s.pixel(kOnVerticalGridLine), kWhiteColour);
    EXPECT_EQ(s.app().analyser().circuitfile, "startfile.cir");
}

}  // namespace
