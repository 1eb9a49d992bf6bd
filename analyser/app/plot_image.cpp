#include "analyser/app/plot_image.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>
#include <algorithm>
#include <cctype>

#include "analyser/app/windows.h"
#include "common/atomic_file.h"
#include "common/errors.h"

namespace {

std::string extensionOf(const std::string& path)
{
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string end = path.substr(dot + 1);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end;
}

// The picture as vectors: the canvas's rectangles and lines, then the labels and legends
// on it (text stays text).
void drawVectors(QPainter& p, ClientArea& client, const QRect& area)
{
    const Color bg = colors::kBackground;
    p.fillRect(QRect(QPoint(0, 0), area.size()), QColor(bg.r, bg.g, bg.b));
    p.translate(-area.topLeft());
    p.setClipRect(area);
    for (const ImageCanvas::Op& o : client.canvas().ops()) {
        if (o.rect) {
            p.fillRect(QRect(QPoint(o.x1, o.y1), QPoint(o.x2 - 1, o.y2 - 1)), QColor(o.fill));
            p.setPen(QPen(QColor(o.pen), 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(o.x1 + 0.5, o.y1 + 0.5, o.x2 - o.x1 - 1, o.y2 - o.y1 - 1));
        } else {
            p.setPen(QPen(QColor(o.pen), 1, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(QPointF(o.x1 + 0.5, o.y1 + 0.5), QPointF(o.x2 + 0.5, o.y2 + 0.5));
        }
    }
    p.resetTransform();
    p.setClipping(false);
    for (QWidget* child : client.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisible() || !child->geometry().intersects(area))
            continue;
        child->render(&p, child->pos() - area.topLeft(), QRegion(), QWidget::DrawChildren);
    }
}

}  // namespace

bool wantsSvg(const std::string& path) { return path.size() > 4 && extensionOf(path) == "svg"; }

std::string plotImageFormat(const std::string& path)
{
    const std::string ext = extensionOf(path);
    if (ext == "png" || ext == "svg" || ext == "bmp" || ext == "jpg")
        return ext;
    if (ext == "jpeg")
        return "jpg";
    throw AppError("Cannot save the plot image as \"" + path +
                   "\": the name must end in .png, .svg, .bmp or .jpg, which says the format.");
}

QByteArray plotImageBytes(QWidget* client, const std::string& format)
{
    const QRect area = kPlotImageArea;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (format == "svg") {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(area.size());
        generator.setViewBox(QRect(QPoint(0, 0), area.size()));
        generator.setTitle("Sorvel plot");
        QPainter p(&generator);
        if (auto* c = qobject_cast<ClientArea*>(client))
            drawVectors(p, *c, area);
        else
            client->render(&p, QPoint(), QRegion(area));
    } else {
        QImage image(area.size(), QImage::Format_RGB32);
        QPainter p(&image);
        client->render(&p, QPoint(), QRegion(area));
        p.end();
        image.save(&buffer, format == "jpg" ? "JPEG" : format == "bmp" ? "BMP" : "PNG", format == "jpg" ? 95 : -1);
    }
    return buffer.data();
}

void savePlotImageFile(QWidget* client, const std::string& path)
{
    const QByteArray bytes = plotImageBytes(client, plotImageFormat(path));
    writeFileAtomically(path, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}
