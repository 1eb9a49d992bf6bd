#pragma once
// What the designer's behaviour needs of one of its windows: field texts by control name,
// the memo, message boxes, the beep and the Save As dialog. The Qt layer implements it
// with real widgets; tests use a recording fake.

#include <optional>
#include <string>

class FormPort {
public:
    virtual ~FormPort() = default;

    virtual std::string text(const std::string& control) const = 0;
    virtual void setText(const std::string& control, const std::string& text) = 0;

    virtual void memoClear(const std::string& memo) = 0;
    virtual void memoAdd(const std::string& memo, const std::string& line) = 0;

    virtual void message(const std::string& text) = 0;  // modal, one line, OK
    virtual void beep() = 0;

    // A chosen file name, or nothing when the user cancels.
    virtual std::optional<std::string> saveFileDialog() = 0;
};
