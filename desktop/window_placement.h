#pragma once
// Where a program's other windows open: beside its main window and never over the main
// window's controls, on the main window's screen, and where the user last left them. The
// same with or without a window manager: a window's position is always set, never left to
// one.

#include <QRect>
#include <QString>
#include <vector>

class QWidget;

namespace desktop {

// The frame rectangle for a window whose frame is `size`, beside the main window's frame
// `main`, within the screen's available area `screen`: to the right of it where the screen
// has room, else below it, else wherever it covers the fewest of `controls` (the main
// window's controls, in the same coordinates) and then the least of the main window. A
// window larger than the screen is cut to the screen.
QRect placeBeside(QSize size, const QRect& main, const std::vector<QRect>& controls, const QRect& screen);

// The main window's controls in global coordinates: its menu bar and every visible widget
// without child widgets of its own.
std::vector<QRect> controlRects(const QWidget& main);

// Keeps `window` (a top-level window) beside `main` from now on: at each show it goes where it
// was last hidden (remembered under `name` in `application`'s settings) while that still lies
// on the screen and covers none of the main window's controls, else to placeBeside(); at each
// hide its place and size are remembered. The window is cut to the screen where it is larger.
void keepBeside(QWidget* window, QWidget* main, const QString& application, const QString& name);

}  // namespace desktop
