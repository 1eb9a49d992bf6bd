#pragma once
// Windows are built from tables: one row per control with its identifier, its widget's
// object name, kind, caption or default text, position and size. Positions are in the
// client coordinates of the window, or of the group box named in `parent`. The object
// names are the window designer's; the table is the only place they appear.

#include <QKeySequence>
#include <map>
#include <optional>
#include <span>
#include <variant>

#include "analyser/core/controls.h"

class QWidget;

// Any control of the windows, by what it holds or does.
using ControlId = std::variant<Field, Check, Memo, Label, GroupBox, Command>;

enum class ControlKind { Label, Edit, Button, CheckBox, Memo, GroupBox };

enum ControlStyle : unsigned {
    kPlain = 0,
    kBold = 1,
    kWordWrap = 2,
    kChecked = 4,
    kHint = 8,  // bold window text on red
};

struct ControlRow {
    ControlId id;
    const char* name;  // the widget's objectName
    ControlKind kind;
    const char* text;
    int x, y;
    int width = 0, height = 0;          // 0 x 0: a label sized to its text
    std::optional<GroupBox> parent{};   // a group box of the same table, or the client area
    unsigned style = kPlain;
};

std::span<const ControlRow> mainWindowControls();
std::span<const ControlRow> aboutWindowControls();

// The File menu top to bottom (a row without an id is a separator), then the items on
// the menu bar itself.
struct MenuRow {
    std::optional<Command> id;
    const char* name;  // the action's objectName
    const char* caption = "";
    // The platform's standard keys where it defines them, else these spelt out: some
    // desktops have no Save As key.
    const char* keys = "";
    QKeySequence::StandardKey standard = QKeySequence::UnknownKey;
};
inline constexpr const char* kFileMenuName = "File1";
std::span<const MenuRow> fileMenuItems();
std::span<const MenuRow> menuBarItems();

using Controls = std::map<ControlId, QWidget*>;

// Creates the table's controls on `surface`, in table order (later rows lie on top),
// and returns them by identifier. Labels let mouse events through to the surface beneath.
Controls buildControls(QWidget* surface, std::span<const ControlRow> table);
