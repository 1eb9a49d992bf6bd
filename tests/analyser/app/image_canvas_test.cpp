#include "analyser/app/image_canvas.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<std::string>;

// One character per pixel of a small picture: '.' never drawn, 'g' green, 'w' white.
Rows picture(const ImageCanvas& c)
{
    Rows rows;
    const QImage& img = c.image();
    for (int y = 0; y < img.height(); ++y) {
        std::string row;
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            row += qAlpha(p) == 0 ? '.' : p == qRgb(0, 128, 0) ? 'g' : p == qRgb(255, 255, 255) ? 'w' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

// The primitives the plot was laid out for: a rectangle covers x1..x2-1 and y1..y2-1
// (outline with the pen, inside with the fill), and a line leaves out its end pixel.
TEST(ImageCanvas, DrawsLikeThePlatformPrimitives)
{
    const struct {
        const char* what;
        std::function<void(ImageCanvas&)> draw;
        Rows expected;
    } cases[] = {
        {"rectangle", [](ImageCanvas& c) { c.rectangle(1, 1, 6, 4); },
         {".......", ".ggggg.", ".gwwwg.", ".ggggg.", "......."}},
        {"rectangle with swapped corners", [](ImageCanvas& c) { c.rectangle(6, 4, 1, 1); },
         {".......", ".ggggg.", ".gwwwg.", ".ggggg.", "......."}},
        {"empty rectangles, line to itself", [](ImageCanvas& c) { c.rectangle(2, 1, 2, 4); c.rectangle(1, 3, 6, 3); c.moveTo(3, 3); c.lineTo(3, 3); },
         {".......", ".......", ".......", ".......", "......."}},
        {"polyline", [](ImageCanvas& c) { c.moveTo(0, 0); c.lineTo(4, 0); c.lineTo(4, 3); c.lineTo(6, 3); },
         {"ggggg..", "....g..", "....g..", "....gg.", "......."}},
        {"sloped line", [](ImageCanvas& c) { c.moveTo(0, 0); c.lineTo(6, 2); },
         {"gg.....", "..ggg..", ".....g.", ".......", "......."}},
        {"sloped line backwards", [](ImageCanvas& c) { c.moveTo(6, 2); c.lineTo(0, 0); },
         {".g.....", "..ggg..", ".....gg", ".......", "......."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ImageCanvas canvas(QSize(7, 5));
        canvas.setPen(colors::kGrid);
        canvas.setFill(colors::kWhite);
        c.draw(canvas);
        EXPECT_EQ(picture(canvas), c.expected);
    }
}

TEST(ImageCanvas, FarOutsideCoordinatesAreClippedQuickly)
{
    ImageCanvas c(QSize(741, 576));
    c.setPen(colors::kRed);
    c.moveTo(100, 40);
    c.lineTo(101, -2000000000);  // a level far above 0 dB
    c.moveTo(-2000000000, 100);
    c.lineTo(2000000000, 100);
    const QImage& img = c.image();
    EXPECT_EQ(img.pixel(100, 0), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(100, 40), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(740, 100), qRgb(255, 0, 0));
    EXPECT_EQ(c.takeDirty(), QRect(0, 0, 741, 101));
    // Only the fill of a huge rectangle is on the picture.
    c.rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_EQ(img.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(c.takeDirty(), QRect(0, 0, 741, 576));
}

// Every pixel of a line is the ideal line's minor coordinate rounded half up at each step
// of the major axis, worked out here directly for lines in, across and out of the picture.
TEST(ImageCanvas, LinesPutEachStepOnTheNearestPixel)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-60, 100);
    for (int trial = 0; trial < 2000; ++trial) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        ImageCanvas c(QSize(40, 30));
        c.setPen(colors::kGrid);
        c.moveTo(x0, y0);
        c.lineTo(x1, y1);

        ImageCanvas expected(QSize(40, 30));
        const long long dx = x1 - x0, dy = y1 - y0, n = std::max(std::llabs(dx), std::llabs(dy));
        const bool xMajor = std::llabs(dx) >= std::llabs(dy);
        for (long long k = 0; k < n; ++k) {
            const long long d = xMajor ? dy : dx, offset = (2 * k * std::llabs(d) + n) / (2 * n);
            const long long major = (xMajor ? x0 : y0) + ((xMajor ? dx : dy) < 0 ? -k : k);
            const long long minor = (xMajor ? y0 : x0) + (d < 0 ? -offset : offset);
            const long long px = xMajor ? major : minor, py = xMajor ? minor : major;
            expected.setPen(colors::kGrid);
            expected.rectangle(int(px), int(py), int(px) + 1, int(py) + 1);
        }
        ASSERT_EQ(picture(c), picture(expected)) << x0 << "," << y0 << " -> " << x1 << "," << y1;
        EXPECT_EQ(c.takeDirty(), expected.takeDirty());
    }
}

TEST(ImageCanvas, DirtyAreaCoversWhatWasDrawnSinceTheLastCall)
{
    ImageCanvas c(QSize(100, 100));
    c.moveTo(10, 20);
    c.lineTo(30, 20);
    EXPECT_EQ(c.takeDirty(), QRect(10, 20, 20, 1));
    EXPECT_TRUE(c.takeDirty().isEmpty());
    c.rectangle(50, 40, 60, 45);
    EXPECT_EQ(c.takeDirty(), QRect(50, 40, 10, 5));
    c.rectangle(2, 1, 2, 4);  // empty: nothing drawn
    EXPECT_TRUE(c.takeDirty().isEmpty());
}

}  // namespace
