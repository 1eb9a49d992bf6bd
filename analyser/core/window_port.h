#pragma once
// What the analyser's behaviour needs of its window: field texts and check states, the
// listing memo, message boxes, the beep, file dialogs, closing, the
// About window, and a canvas with the drawing operations the plot uses. The Qt layer
// implements it with real widgets; tests use a recording fake.

#include <cstdint>
#include <optional>
#include <string>

#include "analyser/core/controls.h"

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Color&, const Color&) = default;
};

namespace colors {
inline constexpr Color kBackground{151, 204, 255};  // the main window's light blue
inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kGrid{0, 128, 0};
inline constexpr Color kRed{255, 0, 0};
inline constexpr Color kBlue{0, 0, 255};
inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kButtonFace{240, 240, 240};  // the desktop's button face
// Measured traces, in colours the computed traces never use.
inline constexpr Color kMeasuredS21{210, 105, 0};  // dark orange
inline constexpr Color kMeasuredS11{200, 0, 200};  // magenta
inline constexpr Color kFitted{0, 150, 150};       // teal: a fit's response over the measurement
}  // namespace colors

// One-pixel solid lines, no anti-aliasing. rectangle() outlines with the pen and fills
// with the fill colour, between two corner points as the platform's rectangle primitive
// does (the right and bottom edges lie one pixel inside the second corner).
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void setPen(Color c) = 0;
    virtual void setFill(Color c) = 0;
    virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void moveTo(int x, int y) = 0;
    virtual void lineTo(int x, int y) = 0;
};

// The file dialogs of the menu's newer commands (the circuit's own are openFileDialog
// and saveFileDialog).
enum class FileChoice {
    OpenMeasurement,   // a Touchstone file to read
    ExportTouchstone,  // where the sweep goes as a Touchstone file
    ExportTouchstoneOneReference,  // the same at one reference resistance (version 1.1)
    SavePlotImage,     // PNG, SVG, BMP or JPEG, as the name ends
};

class WindowPort {
public:
    virtual ~WindowPort() = default;

    virtual std::string text(Field field) const = 0;
    virtual void setText(Field field, const std::string& text) = 0;
    virtual bool checked(Check box) const = 0;
    // Only sets the state; a caller that wants the click handler calls it itself.
    virtual void setChecked(Check box, bool on) = 0;

    virtual void memoClear(Memo memo) = 0;
    virtual void memoAdd(Memo memo, const std::string& line) = 0;

    virtual void message(const std::string& text) = 0;  // modal, one line, OK
    virtual void beep() = 0;

    // A chosen file name, or nothing when the user cancels.
    virtual std::optional<std::string> openFileDialog() = 0;
    virtual std::optional<std::string> saveFileDialog() = 0;

    virtual void closeMainWindow() = 0;  // ends the program
    virtual void showAbout() = 0;        // hides the main window, shows About

    virtual Canvas& canvas() = 0;

    // The hint "Click anywhere in the blue to update and plot." lies inside the
    // plot area: a plot hides it, erasing the plot area before a file read shows it again.
    virtual void setHintVisible(bool /*visible*/) {}

    // A chosen file name, or nothing when the user cancels (or the window has no dialog).
    virtual std::optional<std::string> chooseFile(FileChoice) { return std::nullopt; }
    // Writes the plot area as drawn, with its legends; FileError when it cannot.
    virtual void savePlotImage(const std::string& /*path*/) {}
    // Which measured traces the legend names; none hides it.
    virtual void setMeasurementLegend(bool /*s21*/, bool /*s11*/) {}
    // Every finished plot ends here, so whatever follows the plot can follow it.
    virtual void plotFinished() {}
};
