#include "designer/app/schematic.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kTop = 50;      // the series rail
constexpr int kGround = 135;  // the ground rail

// Horizontal capacitor centred on (x, kTop), leads drawn by the caller.
void seriesCap(QPainter& p, int x)
{
    p.drawLine(x - 3, kTop - 10, x - 3, kTop + 10);
    p.drawLine(x + 3, kTop - 10, x + 3, kTop + 10);
}

// Shunt capacitor from the rail at x down to ground, with its label beside it.
void shuntCap(QPainter& p, int x, const QString& label)
{
    const int mid = (kTop + kGround) / 2;
    p.drawLine(x, kTop, x, mid - 3);
    p.drawLine(x - 10, mid - 3, x + 10, mid - 3);
    p.drawLine(x - 10, mid + 3, x + 10, mid + 3);
    p.drawLine(x, mid + 3, x, kGround);
    p.drawText(x + 13, mid + 5, label);
    p.setBrush(Qt::black);
    p.drawEllipse(QPoint(x, kTop), 2, 2);
    p.drawEllipse(QPoint(x, kGround), 2, 2);
    p.setBrush(Qt::NoBrush);
}

// Crystal centred on (x, kTop): the quartz plate between two electrodes.
void crystal(QPainter& p, int x, const QString& label)
{
    p.drawLine(x - 8, kTop - 11, x - 8, kTop + 11);
    p.drawLine(x + 8, kTop - 11, x + 8, kTop + 11);
    p.drawRect(x - 4, kTop - 13, 8, 26);
    p.drawText(QRect(x - 20, kTop - 32, 40, 16), Qt::AlignCenter, label);
}

// A resistor drawn as a box between two points on one vertical.
void shuntResistor(QPainter& p, int x, const QString& label)
{
    const int mid = (kTop + kGround) / 2;
    p.drawLine(x, kTop, x, mid - 14);
    p.drawRect(x - 6, mid - 14, 12, 28);
    p.drawLine(x, mid + 14, x, kGround);
    p.drawText(x + 11, mid + 5, label);
}

}  // namespace

QPixmap drawSchematic()
{
    QPixmap pixmap(kSchematicWidth, kSchematicHeight);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.5));
    QFont f = p.font();
    f.setPixelSize(12);
    p.setFont(f);

    // Source: a generator in series with R.
    const int genX = 22;
    p.drawEllipse(QPoint(genX, (kTop + kGround) / 2), 12, 12);
    p.drawText(QRect(genX - 12, (kTop + kGround) / 2 - 12, 24, 24), Qt::AlignCenter, "~");
    p.drawLine(genX, kTop, genX, (kTop + kGround) / 2 - 12);
    p.drawLine(genX, (kTop + kGround) / 2 + 12, genX, kGround);
    p.drawLine(genX, kTop, 36, kTop);
    p.drawRect(36, kTop - 6, 24, 12);
    p.drawText(QRect(36, kTop - 26, 24, 16), Qt::AlignCenter, "R");

    // Nodes: Ce, Cj x4, Ce; each section is a crystal followed by its tuning capacitor.
    const int first = 85, last = 600;
    const int step = (last - first) / 5;
    p.drawLine(60, kTop, last, kTop);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (int k = 0; k < 5; ++k) {
        const int x0 = first + k * step;
        p.drawRect(x0 + 25, kTop - 14, 18, 28);  // gaps in the rail for the parts
        p.drawRect(x0 + 68, kTop - 11, 7, 22);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1.5));
    for (int k = 0; k < 5; ++k) {
        const int x0 = first + k * step;
        crystal(p, x0 + 34, QString("X%1").arg(k + 1));
        p.drawLine(x0 + 26, kTop, x0 + 26, kTop);
        seriesCap(p, x0 + 71);
        p.drawText(QRect(x0 + 59, kTop + 12, 24, 16), Qt::AlignCenter, "Ct");
    }
    shuntCap(p, first, "Ce");
    for (int k = 1; k < 5; ++k)
        shuntCap(p, first + k * step, "Cj");
    shuntCap(p, last, "Ce");

    // Load R and the ground rail.
    p.drawLine(last, kTop, 650, kTop);
    shuntResistor(p, 650, "R");
    p.drawLine(genX, kGround, 650, kGround);
    return pixmap;
}
