#pragma once
// FormPort on a real window: fields and memo found by object name, message boxes, the
// beep and the Save As dialog. The three interactive services are plain function
// objects so tests can answer them without a modal loop.

#include <functional>
#include <optional>

#include <QString>

#include "form_port.h"

class QWidget;

namespace ui {
// A modal message box with one line of text and an OK button.
extern std::function<void(QWidget* parent, const QString& text)> showMessage;
extern std::function<void()> beep;
// The Save As dialog for circuit files, in the working directory; nothing on cancel.
extern std::function<std::optional<QString>(QWidget* parent)> chooseSaveFile;
}  // namespace ui

class QtFormPort : public FormPort {
public:
    explicit QtFormPort(QWidget& window) : w(window) {}

    std::string text(const std::string& control) const override;
    void setText(const std::string& control, const std::string& text) override;
    void memoClear(const std::string& memo) override;
    void memoAdd(const std::string& memo, const std::string& line) override;
    void message(const std::string& text) override;
    void beep() override;
    std::optional<std::string> saveFileDialog() override;

private:
    QWidget& w;
};
