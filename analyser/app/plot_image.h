#pragma once
// "Save Plot Image...": the plot area as drawn, with both legend rows above it, as PNG,
// or as SVG for a name ending in .svg (any case).

#include <QByteArray>
#include <QRect>
#include <string>

class QWidget;

// In the main window's client coordinates: the legends from the top and the plot down to
// its bottom edge, clear of the scale fields on its left and below it.
inline constexpr QRect kPlotImageArea{49, 0, 407, 342};

bool wantsSvg(const std::string& path);

// The file's bytes, rendered from `client` (widget and children, as on screen).
QByteArray plotImageBytes(QWidget* client, bool svg);

// Writes atomically; FileError when it cannot.
void savePlotImageFile(QWidget* client, const std::string& path);
