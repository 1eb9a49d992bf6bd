#include "analyser/app/plot_image.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>
#include <algorithm>
#include <cctype>

#include "common/atomic_file.h"

bool wantsSvg(const std::string& path)
{
    if (path.size() < 4)
        return false;
    std::string end = path.substr(path.size() - 4);
    std::transform(end.begin(), end.end(), end.begin(), [](unsigned char c) { return std::tolower(c); });
    return end == ".svg";
}

QByteArray plotImageBytes(QWidget* client, bool svg)
{
    const QRect area = kPlotImageArea;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(area.size());
        generator.setViewBox(QRect(QPoint(0, 0), area.size()));
        generator.setTitle("Sorvel plot");
        QPainter p(&generator);
        client->render(&p, QPoint(), QRegion(area));
    } else {
        QImage image(area.size(), QImage::Format_RGB32);
        QPainter p(&image);
        client->render(&p, QPoint(), QRegion(area));
        p.end();
        image.save(&buffer, "PNG");
    }
    return buffer.data();
}

void savePlotImageFile(QWidget* client, const std::string& path)
{
    const QByteArray bytes = plotImageBytes(client, wantsSvg(path));
    writeFileAtomically(path, std::string_view(bytes.constData(), std::size_t(bytes.size())));
}
