#pragma once
// A window nobody looks at: for reading circuit files outside the program's window
// (the command-line sweep, tools, tests), where the reader's erase and field texts go nowhere.

#include "window_port.h"

class NullCanvas : public Canvas {
public:
    void setPen(Color) override {}
    void setFill(Color) override {}
    void rectangle(int, int, int, int) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
};

class NullWindow : public WindowPort {
public:
    std::string text(Field) const override { return {}; }
    void setText(Field, const std::string&) override {}
    bool checked(Check) const override { return false; }
    void setChecked(Check, bool) override {}
    void memoClear(Memo) override {}
    void memoAdd(Memo, const std::string&) override {}
    void message(const std::string&) override {}
    void beep() override {}
    std::optional<std::string> openFileDialog() override { return std::nullopt; }
    std::optional<std::string> saveFileDialog() override { return std::nullopt; }
    void closeMainWindow() override {}
    void showAbout() override {}
    Canvas& canvas() override { return nullCanvas; }

private:
    NullCanvas nullCanvas;
};
