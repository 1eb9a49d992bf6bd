#pragma once
// The designer's ports on real windows: fields and memo found through the window's
// control table, message boxes, the beep and the Save As dialog. The three interactive
// services are plain function objects so tests can answer them without a modal loop.

#include <functional>
#include <optional>
#include <string>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QString>

#include "designer/app/control_table.h"
#include "designer/core/form_port.h"

namespace ui {
// A modal message box with one line of text and an OK button.
extern std::function<void(QWidget* parent, const QString& text)> showMessage;
extern std::function<void()> beep;
// The Save As dialog for circuit files, in the working directory; nothing on cancel.
extern std::function<std::optional<QString>(QWidget* parent)> chooseSaveFile;
// The dialogs for design files: a name to open, or (with `save`) to save to; nothing on cancel.
extern std::function<std::optional<QString>(QWidget* parent, bool save)> chooseDesignFile;
}  // namespace ui

// Messages and the dialog belong to `window`; fields are the edits in `controls`.
template <class Port>
class QtFieldPort : public Port {
public:
    using Field = typename Port::Field;

    QtFieldPort(QWidget& window, const Controls& controls) : w(window), controls(controls) {}

    std::string text(Field field) const override { return edit(field)->text().toStdString(); }
    void setText(Field field, const std::string& text) override { edit(field)->setText(QString::fromStdString(text)); }
    void message(const std::string& text) override { ui::showMessage(&w, QString::fromStdString(text)); }
    void beep() override { ui::beep(); }
    std::optional<std::string> saveFileDialog() override
    {
        const std::optional<QString> name = ui::chooseSaveFile(&w);
        if (!name)
            return std::nullopt;
        return name->toStdString();
    }

protected:
    template <class T>
    T* control(ControlId id) const
    {
        T* c = controlAs<T>(controls, id);
        Q_ASSERT_X(c, "QtFieldPort", "no such control in the window's table");
        return c;
    }

private:
    QLineEdit* edit(Field field) const { return control<QLineEdit>(field); }

    QWidget& w;
    const Controls& controls;
};

using QtDesignPort = QtFieldPort<DesignPort>;

class QtKandQPort : public QtFieldPort<KandQPort> {
public:
    using QtFieldPort::QtFieldPort;

    void memoClear(kq::Memo memo) override { control<QPlainTextEdit>(memo)->clear(); }
    void memoAdd(kq::Memo memo, const std::string& line) override
    {
        control<QPlainTextEdit>(memo)->appendPlainText(QString::fromStdString(line));
    }
};
