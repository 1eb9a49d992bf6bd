// The files the plot writes: an SVG of lines and text, each image in the format its name
// says, one-port and one-reference Touchstone exports, and a missing folder named as such.
#include <gtest/gtest.h>

#include <QAction>
#include <QFile>

#include "analyser/app/plot_image.h"
#include "tests/support/app_test_support.h"

namespace {

struct Files : RunningSorvel {
    std::deque<std::optional<std::string>> answers;
    Files()
    {
        app().port().runChooseFile = [this](FileChoice) {
            auto a = answers.empty() ? std::nullopt : answers.front();
            if (!answers.empty())
                answers.pop_front();
            return a;
        };
        clickControl(Command::Plot);
    }
    QByteArray write(Command c, const QString& name)
    {
        answers.push_back(path(name).toStdString());
        main().action(c)->trigger();
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST(PlotFiles, ImagesInTheFormatTheirNameSays)
{
    Files s;
    const QByteArray svg = s.write(Command::SavePlotImage, "plot.svg");
    EXPECT_TRUE(svg.contains("<svg"));
    EXPECT_FALSE(svg.contains("<image")) << "no embedded bitmap";
    EXPECT_GT(svg.count("<polyline") + svg.count("<path") + svg.count("<line"), 5);
    EXPECT_TRUE(svg.contains(">S21<") || svg.contains("S21")) << "legend text stays text";
    EXPECT_TRUE(s.write(Command::SavePlotImage, "plot.bmp").startsWith("BM"));
    EXPECT_TRUE(s.write(Command::SavePlotImage, "plot.JPG").startsWith("\xff\xd8"));
    EXPECT_TRUE(s.write(Command::SavePlotImage, "plot.png").startsWith("\x89PNG"));
    EXPECT_TRUE(s.messages.empty());

    EXPECT_TRUE(s.write(Command::SavePlotImage, "plot.gif").isEmpty());
    ASSERT_EQ(s.messages.size(), 1u);
    EXPECT_NE(s.messages[0].find("must end in .png, .svg, .bmp or .jpg"), std::string::npos) << s.messages[0];

    s.write(Command::SavePlotImage, "no/such/plot.png");
    ASSERT_EQ(s.messages.size(), 2u);
    EXPECT_EQ(s.messages[1], "Cannot write " + s.path("no/such/plot.png").toStdString() + ": the folder does not exist");
}

TEST(PlotFiles, TouchstoneOnePortAndOneReference)
{
    Files s;
    s.write(Command::ExportTouchstone, "port1.s1p");
    const Network one = readTouchstoneFile(s.path("port1.s1p").toStdString());
    EXPECT_EQ(one.ports, 1);
    // Read back as a measurement: S11 only.
    s.app().analyser().run([&] { s.app().analyser().loadMeasurement(s.path("port1.s1p").toStdString()); });
    EXPECT_TRUE(s.messages.empty());

    s.type(Field::EntryNumber, "0");  // load R
    s.type(Field::NewValue, "200");
    s.clickControl(Command::LoadNewValue);
    const QByteArray v2 = s.write(Command::ExportTouchstone, "both.s2p");
    EXPECT_TRUE(v2.contains("[Version] 2.0"));
    const QByteArray v1 = s.write(Command::ExportTouchstoneOneReference, "v11.s2p");
    EXPECT_FALSE(v1.contains("[Version]"));
    EXPECT_TRUE(v1.contains("R 50"));
    const Network n = readTouchstoneFile(s.path("v11.s2p").toStdString());
    EXPECT_EQ(n.referenceR1, 50);
    EXPECT_EQ(n.referenceR2, 50);
    EXPECT_TRUE(s.messages.empty()) << s.messages.front();
}

}  // namespace
