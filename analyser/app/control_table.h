#pragma once
// Windows are built from tables: one row per control with its name, kind, caption or
// default text, position and size. Positions are in the client coordinates of the
// window, or of the group box named in `parent`.

#include <map>
#include <span>
#include <string>

class QWidget;

enum class ControlKind { Label, Edit, Button, CheckBox, Memo, GroupBox };

enum ControlStyle : unsigned {
    kPlain = 0,
    kBold = 1,
    kWordWrap = 2,
    kChecked = 4,
    kHint = 8,  // bold window text on red
};

struct ControlRow {
    const char* name;
    ControlKind kind;
    const char* text;
    int x, y;
    int width = 0, height = 0;  // 0 x 0: a label sized to its text
    const char* parent = "";     // a GroupBox of the same table, or the client area
    unsigned style = kPlain;
};

std::span<const ControlRow> mainWindowControls();
std::span<const ControlRow> aboutWindowControls();

// Creates the table's controls on `surface`, in table order (later rows lie on top),
// and returns them by name. Labels let mouse events through to the surface beneath.
std::map<std::string, QWidget*> buildControls(QWidget* surface, std::span<const ControlRow> table);
