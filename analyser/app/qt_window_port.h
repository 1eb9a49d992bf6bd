#pragma once
// WindowPort on the real main window: fields and check boxes, the listing memo,
// the picture, message boxes, file dialogs and the beep. The interactive parts are
// std::function members so tests can answer them without a modal loop.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "analyser/core/window_port.h"

class MainWindow;
class AboutWindow;
class QFileDialog;
class QWidget;

// The Open (save false) or Save As dialog, set up in the working directory with the
// circuit file filter, the "cir" default suffix and, for saving, the overwrite prompt.
std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, bool save);
// The dialog of a newer command: Touchstone files to open, a Touchstone file or an image
// (PNG or SVG) to save.
std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, FileChoice choice);

class QtWindowPort : public WindowPort {
public:
    QtWindowPort(MainWindow& main, AboutWindow& about);

    std::string text(Field field) const override;
    void setText(Field field, const std::string& text) override;
    bool checked(Check box) const override;
    void setChecked(Check box, bool on) override;

    void memoClear(Memo memo) override;
    void memoAdd(Memo memo, const std::string& line) override;

    void message(const std::string& text) override;
    void beep() override;
    std::optional<std::string> openFileDialog() override;
    std::optional<std::string> saveFileDialog() override;

    void closeMainWindow() override;
    void showAbout() override;

    Canvas& canvas() override;
    void setHintVisible(bool visible) override;

    std::optional<std::string> chooseFile(FileChoice choice) override;
    void savePlotImage(const std::string& path) override;
    void setMeasurementLegend(bool s21, bool s11) override;
    void plotFinished() override;

    // Brings what the commands drew since the last call to the screen.
    void flush();

    // Defaults: a modal QMessageBox, QApplication::beep(), Qt file dialogs.
    std::function<void(const std::string&)> showMessage;
    std::function<void()> soundBeep;
    std::function<std::optional<std::string>()> runOpenDialog;
    std::function<std::optional<std::string>()> runSaveDialog;
    std::function<std::optional<std::string>(FileChoice)> runChooseFile;
    // Runs after every plot that got to its end.
    std::function<void()> onPlotFinished;

private:
    MainWindow& main_;
    AboutWindow& about_;
};
