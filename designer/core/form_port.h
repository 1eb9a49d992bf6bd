#pragma once
// What the designer's behaviour needs of its windows: message boxes, the beep and the
// Save As dialog on every window; field texts, and on the k-and-q window the memo, by
// the identifiers in controls.h. The Qt layer implements them with real widgets; tests
// use a recording fake.

#include <optional>
#include <string>

#include "designer/core/controls.h"

class FormPort {
public:
    virtual ~FormPort() = default;

    virtual void message(const std::string& text) = 0;  // modal, one line, OK
    virtual void beep() = 0;

    // A chosen file name, or nothing when the user cancels.
    virtual std::optional<std::string> saveFileDialog() = 0;
};

// A window whose edit fields are named by `FieldId`.
template <class FieldId>
class FieldPort : public FormPort {
public:
    using Field = FieldId;

    virtual std::string text(Field field) const = 0;
    virtual void setText(Field field, const std::string& text) = 0;
};

using DesignPort = FieldPort<design::Field>;

class KandQPort : public FieldPort<kq::Field> {
public:
    virtual void memoClear(kq::Memo memo) = 0;
    virtual void memoAdd(kq::Memo memo, const std::string& line) = 0;
};
