#pragma once
// Mirabo's windows are built from tables: one row per control with its identifier, its
// designer name (the widget's objectName, and the one place that name appears), kind,
// caption or default text, position and size in the client coordinates of the window
// (or of the panel or group box named in `parent`).

#include <functional>
#include <map>
#include <span>
#include <type_traits>

#include <QWidget>

#include "designer/core/controls.h"


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

// Any value of a window's control enums (design::Field, kq::Command, ...): which enum,
// and the value in it. A default-made id names no control: the window itself.
class ControlId {
public:
    constexpr ControlId() = default;
    template <class E>
        requires std::is_enum_v<E>
    constexpr ControlId(E e) : type(&tag<E>), value(static_cast<int>(e))
    {
    }

    bool operator==(const ControlId&) const = default;
    bool operator<(const ControlId& o) const
    {
        return type != o.type ? std::less<const void*>()(type, o.type) : value < o.value;
    }
    bool isWindow() const { return type == nullptr; }

private:
    template <class E>
    static constexpr char tag = 0;  // one address per enum

    const void* type = nullptr;
    int value = 0;
};

struct ControlSpec {
    ControlId id;
    const char* name;
    ControlKind kind;
    const char* text;
    int x, y, width, height;
    unsigned style = kPlain;
    ControlId parent = {};
};

std::span<const ControlSpec> mainWindowControls();
std::span<const ControlSpec> helpWindowControls();
std::span<const ControlSpec> kandqWindowControls();
std::span<const ControlSpec> aboutWindowControls();

// A window's widgets by identifier.
using Controls = std::map<ControlId, QWidget*>;

// Creates the table's controls on `surface` in table order and returns them.
// A coloured label is shrunk to its text so the colour sits behind the words only.
Controls buildControls(QWidget* surface, std::span<const ControlSpec> table);

// The widget of `id` as a T, or nullptr when it has none or another kind.
template <class T>
T* controlAs(const Controls& controls, ControlId id)
{
    const auto it = controls.find(id);
    return it == controls.end() ? nullptr : qobject_cast<T*>(it->second);
}
