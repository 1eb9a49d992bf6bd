#include "image_canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One character per pixel of a small picture: '.' never drawn, else the colour's initial.
std::vector<std::string> picture(const ImageCanvas& c)
{
    std::vector<std::string> rows;
    const QImage& img = c.image();
    for (int y = 0; y < img.height(); ++y) {
        std::string row;
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qAlpha(p) == 0)
                row += '.';
            else if (p == qRgb(255, 0, 0))
                row += 'r';
            else if (p == qRgb(0, 128, 0))
                row += 'g';
            else if (p == qRgb(255, 255, 255))
                row += 'w';
            else
                row += '?';
        }
        rows.push_back(row);
    }
    return rows;
}

using Rows = std::vector<std::string>;

TEST(ImageCanvas, RectangleOutlinesAndFillsUpToOneInsideTheSecondCorner)
{
    ImageCanvas c(QSize(7, 6));
    c.setPen(colors::kGrid);
    c.setFill(colors::kWhite);
    c.rectangle(1, 1, 6, 5);
    EXPECT_EQ(picture(c), (Rows{
                              ".......",
                              ".ggggg.",
                              ".gwwwg.",
                              ".gwwwg.",
                              ".ggggg.",
                              ".......",
                          }));
}

TEST(ImageCanvas, RectangleWithCornersSwappedCoversTheSamePixels)
{
    ImageCanvas a(QSize(7, 6)), b(QSize(7, 6));
    a.rectangle(1, 1, 6, 5);
    b.rectangle(6, 5, 1, 1);
    EXPECT_EQ(picture(a), picture(b));
}

TEST(ImageCanvas, EmptyRectangleAndLineToTheCurrentPointDrawNothing)
{
    ImageCanvas c(QSize(5, 5));
    c.rectangle(2, 1, 2, 4);
    c.rectangle(1, 3, 4, 3);
    c.moveTo(3, 3);
    c.lineTo(3, 3);
    EXPECT_TRUE(c.takeDirty().isEmpty());
    EXPECT_EQ(picture(c)[3], ".....");
}

TEST(ImageCanvas, LineLeavesOutItsEndPixelSoAPolylineIsContinuous)
{
    ImageCanvas c(QSize(8, 4));
    c.setPen(colors::kRed);
    c.moveTo(0, 0);
    c.lineTo(4, 0);
    c.lineTo(4, 3);
    c.lineTo(7, 3);
    EXPECT_EQ(picture(c), (Rows{
                              "rrrrr...",
                              "....r...",
                              "....r...",
                              "....rrr.",
                          }));
}

TEST(ImageCanvas, SlopedLineStepsOnePixelPerColumn)
{
    ImageCanvas c(QSize(7, 3));
    c.setPen(colors::kRed);
    c.moveTo(0, 0);
    c.lineTo(6, 2);
    EXPECT_EQ(picture(c), (Rows{
                              "rr.....",
                              "..rrr..",
                              ".....r.",
                          }));
    // Drawn backwards it starts at the other end and again leaves that end out.
    ImageCanvas back(QSize(7, 3));
    back.setPen(colors::kRed);
    back.moveTo(6, 2);
    back.lineTo(0, 0);
    EXPECT_EQ(picture(back)[2], ".....rr");
    EXPECT_EQ(picture(back)[0][0], '.');
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

TEST(ImageCanvas, DirtyAreaCoversWhatWasDrawnSinceTheLastCall)
{
    ImageCanvas c(QSize(100, 100));
    c.moveTo(10, 20);
    c.lineTo(30, 20);
    EXPECT_EQ(c.takeDirty(), QRect(10, 20, 20, 1));
    EXPECT_TRUE(c.takeDirty().isEmpty());
    c.rectangle(50, 40, 60, 45);
    EXPECT_EQ(c.takeDirty(), QRect(50, 40, 10, 5));
}

}  // namespace
