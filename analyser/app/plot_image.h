#pragma once
// "Save Plot Image...": the plot area as drawn, with both legend rows above it, in the format
// its name ends in (any case): PNG, BMP, JPEG, or SVG as a drawing of lines and text.

#include <QByteArray>
#include <QRect>
#include <string>

class QWidget;

// In the main window's client coordinates: the legends from the top and the plot down to
// its bottom edge, clear of the scale fields on its left and below it.
inline constexpr QRect kPlotImageArea{49, 0, 407, 342};

bool wantsSvg(const std::string& path);

// "png", "svg", "bmp" or "jpg" for a name ending in it (".jpeg" too); AppError naming the
// formats for any other name, so no file ever holds another format than its name says.
std::string plotImageFormat(const std::string& path);

// The file's bytes, rendered from `client` (a ClientArea: its drawing and child widgets).
QByteArray plotImageBytes(QWidget* client, const std::string& format);

// Writes atomically; FileError when it cannot.
void savePlotImageFile(QWidget* client, const std::string& path);
