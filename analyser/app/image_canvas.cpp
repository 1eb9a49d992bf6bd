#include "analyser/app/image_canvas.h"

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

// Fills the row without marking it dirty; callers mark their whole primitive once.
bool ImageCanvas::fillRow(long long x1, long long x2, long long y, QRgb colour)
{
    if (y < 0 || y >= picture_.height())
        return false;
    x1 = std::max(x1, 0LL);
    x2 = std::min(x2, (long long)picture_.width() - 1);
    if (x1 > x2)
        return false;
    auto* line = reinterpret_cast<QRgb*>(picture_.scanLine(int(y)));
    std::fill(line + x1, line + x2 + 1, colour);
    return true;
}

void ImageCanvas::rectangle(int x1, int y1, int x2, int y2)
{
    const long long left = std::min(x1, x2), right = std::max(x1, x2) - 1LL;
    const long long top = std::min(y1, y2), bottom = std::max(y1, y2) - 1LL;
    if (right < left || bottom < top)
        return;
    // Whatever lies wholly under the new rectangle is gone from the drawing too.
    std::erase_if(ops_, [&](const Op& o) {
        const long long ol = std::min(o.x1, o.x2), or_ = std::max(o.x1, o.x2) - (o.rect ? 1 : 0);
        const long long ot = std::min(o.y1, o.y2), ob = std::max(o.y1, o.y2) - (o.rect ? 1 : 0);
        return ol >= left && or_ <= right && ot >= top && ob <= bottom;
    });
    ops_.push_back({true, pen_, fill_, int(left), int(top), int(right + 1), int(bottom + 1)});

    // Outline: top and bottom rows, then both side columns; the inside takes the fill.
    fillRow(left, right, top, pen_);
    fillRow(left, right, bottom, pen_);
    const long long firstRow = std::max(top + 1, 0LL);
    const long long lastRow = std::min(bottom - 1, (long long)picture_.height() - 1);
    for (long long y = firstRow; y <= lastRow; ++y) {
        fillRow(left, left, y, pen_);
        fillRow(right, right, y, pen_);
        fillRow(left + 1, right - 1, y, fill_);
    }
    // What of the rectangle lies on the picture, marked once.
    const long long l = std::max(left, 0LL), r = std::min(right, (long long)picture_.width() - 1);
    const long long t = std::max(top, 0LL), b = std::min(bottom, (long long)picture_.height() - 1);
    if (l <= r && t <= b)
        touch(l, t, r, b);
}

void ImageCanvas::moveTo(int x, int y)
{
    curx_ = x;
    cury_ = y;
}

void ImageCanvas::lineTo(int x, int y)
{
    const long long x0 = curx_, y0 = cury_;
    if (x0 != x || y0 != y)
        ops_.push_back({false, pen_, fill_, curx_, cury_, x, y});
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
    if (kFirst > kLast)
        return;
    // The minor offset is k·|minorDelta|/n rounded half up: kept as a quotient and a
    // remainder of (2k·|minorDelta| + n) / 2n, advanced by one step at a time.
    const long long twoN = 2 * n, step = 2 * std::llabs(minorDelta);
    const __int128 first = (__int128)2 * kFirst * std::llabs(minorDelta) + n;
    long long quotient = (long long)(first / twoN), remainder = (long long)(first % twoN);
    const long long minorSign = minorDelta < 0 ? -1 : 1;
    const QRgb colour = pen_;
    uchar* const bits = picture_.bits();
    const qsizetype stride = picture_.bytesPerLine();
    const long long width = picture_.width(), height = picture_.height();
    long long minX = width, minY = height, maxX = -1, maxY = -1;
    for (long long k = kFirst;; ++k) {
        const long long major = major0 + majorStep * k, minor = minor0 + minorSign * quotient;
        const long long px = xMajor ? major : minor, py = xMajor ? minor : major;
        if (px >= 0 && py >= 0 && px < width && py < height) {
            reinterpret_cast<QRgb*>(bits + py * stride)[px] = colour;
            minX = std::min(minX, px);
            maxX = std::max(maxX, px);
            minY = std::min(minY, py);
            maxY = std::max(maxY, py);
        }
        if (k == kLast)
            break;
        remainder += step;
        while (remainder >= twoN) {
            remainder -= twoN;
            ++quotient;
        }
    }
    if (maxX >= 0)
        touch(minX, minY, maxX, maxY);
}
