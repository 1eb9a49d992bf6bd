#pragma once
// The main window's picture: a QImage the size of the client area that keeps whatever
// the plot commands drew, so a repaint shows it again. Pixels never drawn stay
// transparent and let the window's background through.
//
// Drawing follows the platform primitives the plot was laid out for: rectangle() covers
// x1..x2-1 and y1..y2-1 (outline with the pen, inside with the fill), and lineTo() leaves
// out its end pixel, so a polyline never paints a joint twice.

#include <QImage>
#include <QRect>
#include <vector>

#include "analyser/core/window_port.h"

class ImageCanvas : public Canvas {
public:
    explicit ImageCanvas(QSize size);

    void setPen(Color c) override;
    void setFill(Color c) override;
    void rectangle(int x1, int y1, int x2, int y2) override;
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;

    const QImage& image() const { return picture_; }

    // What was drawn, as drawing operations: rectangles and line segments in drawing order,
    // without those a later rectangle covered whole. A drawing (SVG) is made from these.
    struct Op {
        bool rect;  // else a line from (x1, y1) to (x2, y2), its end pixel left out
        QRgb pen, fill;
        int x1, y1, x2, y2;
    };
    const std::vector<Op>& ops() const { return ops_; }

    // The area changed since the last call, empty when nothing was drawn.
    QRect takeDirty();

private:
    // One row x1..x2 inclusive, clipped; false when nothing of it lies on the picture.
    bool fillRow(long long x1, long long x2, long long y, QRgb colour);
    void touch(long long x1, long long y1, long long x2, long long y2);

    QImage picture_;
    QRgb pen_;
    QRgb fill_;
    int curx_ = 0, cury_ = 0;
    QRect dirty_;
    std::vector<Op> ops_;
};
