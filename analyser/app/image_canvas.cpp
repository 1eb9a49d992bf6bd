#include "image_canvas.h"

#include <algorithm>
#include <cstdlib>

namespace {

QRgb opaque(Color c) { return qRgb(c.r, c.g, c.b); }

}  // namespace

ImageCanvas::ImageCanvas(QSize size)
    : picture_(size, QImage::Format_ARGB32_Premultiplied),
      pen_(opaque(colors::kBlack)),   // the platform's starting pen and brush
      fill_(opaque(colors::kWhite))
{
    picture_.fill(Qt::transparent);
}

void ImageCanvas::setPen(Color c) { pen_ = opaque(c); }
void ImageCanvas::setFill(Color c) { fill_ = opaque(c); }

QRect ImageCanvas::takeDirty()
{
    QRect r = dirty_;
    dirty_ = QRect();
    return r;
}

void ImageCanvas::touch(long long x1, long long y1, long long x2, long long y2)
{
    // Arguments are already clipped to the picture.
    dirty_ |= QRect(QPoint(int(x1), int(y1)), QPoint(int(x2), int(y2)));
}

void ImageCanvas::span(long long x1, long long x2, long long y, QRgb colour)
{
    if (y < 0 || y >= picture_.height())
        return;
    x1 = std::max(x1, 0LL);
    x2 = std::min(x2, (long long)picture_.width() - 1);
    if (x1 > x2)
        return;
    auto* line = reinterpret_cast<QRgb*>(picture_.scanLine(int(y)));
    std::fill(line + x1, line + x2 + 1, colour);
    touch(x1, y, x2, y);
}

void ImageCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    const long long left = std::min(x1, x2), right = std::max(x1, x2) - 1LL;
    const long long top = std::min(y1, y2), bottom = std::max(y1, y2) - 1LL;
    if (right < left || bottom < top)
        return;

    // Outline: top and bottom rows, then both side columns; the inside takes the fill.
    span(left, right, top, pen_);
    span(left, right, bottom, pen_);
    const long long firstRow = std::max(top + 1, 0LL);
    const long long lastRow = std::min(bottom - 1, (long long)picture_.height() - 1);
    for (long long y = firstRow; y <= lastRow; ++y) {
        span(left, left, y, pen_);
        span(right, right, y, pen_);
        span(left + 1, right - 1, y, fill_);
    }
}

void ImageCanvas::moveTo(int x, int y)
{
    curx_ = x;
    cury_ = y;
}

void ImageCanvas::lineTo(int x, int y)
{
    const long long x0 = curx_, y0 = cury_;
    curx_ = x;
    cury_ = y;

    const long long dx = x - x0, dy = y - y0;
    const long long n = std::max(std::llabs(dx), std::llabs(dy));  // pixels, end left out
    if (n == 0)
        return;

    // Step along the major axis; the minor axis follows the ideal line rounded to the
    // nearest pixel. Only the steps whose major coordinate lies on the picture are
    // visited, so a wild coordinate costs no more than a line across the window.
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long major0 = xMajor ? x0 : y0, minor0 = xMajor ? y0 : x0;
    const long long majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long minorDelta = xMajor ? dy : dx;
    const long long majorLimit = (xMajor ? picture_.width() : picture_.height()) - 1;

    long long kFirst = 0, kLast = n - 1;
    if (majorStep > 0) {
        kFirst = std::max(kFirst, -major0);
        kLast = std::min(kLast, majorLimit - major0);
    } else {
        kFirst = std::max(kFirst, major0 - majorLimit);
        kLast = std::min(kLast, major0);
    }
    const QRgb colour = pen_;
    for (long long k = kFirst; k <= kLast; ++k) {
        const __int128 twice = (__int128)2 * k * std::llabs(minorDelta) + n;
        long long offset = (long long)(twice / (2 * n));
        if (minorDelta < 0)
            offset = -offset;
        const long long major = major0 + majorStep * k, minor = minor0 + offset;
        const long long px = xMajor ? major : minor, py = xMajor ? minor : major;
        if (px < 0 || py < 0 || px >= picture_.width() || py >= picture_.height())
            continue;
        reinterpret_cast<QRgb*>(picture_.scanLine(int(py)))[px] = colour;
        touch(px, py, px, py);
    }
}
