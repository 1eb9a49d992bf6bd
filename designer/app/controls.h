#pragma once
// Mirabo's windows are built from tables: one row per control with its name, kind,
// caption or default text, position and size in the client coordinates of the window
// (or of the panel or group box named in `parent`).

#include <map>
#include <span>
#include <string>

class QWidget;

enum class ControlKind { Label, Edit, Button, Panel, GroupBox, Radio, Memo, Picture };

enum ControlStyle : unsigned {
    kPlain = 0,
    kBold = 1,
    kAqua = 2,    // step labels and notes
    kLime = 4,    // coupling-capacitor labels
    kYellow = 8,  // tuning-capacitor labels and notes
    kSilver = 16, // q and k labels
    kRight = 32,  // a label left of its field: text and colour hug the right edge
    kTitle = 64,  // a larger bold heading
    kCentre = 128,
};

struct ControlSpec {
    const char* name;
    ControlKind kind;
    const char* text;
    int x, y, width, height;
    unsigned style = kPlain;
    const char* parent = "";
};

std::span<const ControlSpec> mainWindowControls();
std::span<const ControlSpec> helpWindowControls();
std::span<const ControlSpec> kandqWindowControls();
std::span<const ControlSpec> aboutWindowControls();

// Creates the table's controls on `surface` in table order and returns them by name.
// A coloured label is shrunk to its text so the colour sits behind the words only.
std::map<std::string, QWidget*> buildControls(QWidget* surface, std::span<const ControlSpec> table);
