#include "qt_window_port.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <stdexcept>

#include "windows.h"

namespace {

QWidget* visibleWindow(MainWindow& main, AboutWindow& about)
{
    return about.isVisible() && !main.isVisible() ? static_cast<QWidget*>(&about) : &main;
}

void showMessageBox(QWidget* parent, const std::string& text)
{
    QMessageBox box(QMessageBox::NoIcon, "Sorvel", QString::fromStdString(text), QMessageBox::Ok,
                    parent);
    box.exec();
}

std::optional<std::string> runFileDialog(QWidget* parent, bool save)
{
    auto dialog = makeFileDialog(parent, save);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().front().toStdString();
}

}  // namespace

std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, bool save)
{
    auto dialog = std::make_unique<QFileDialog>(
        parent, save ? "Save As" : "Open", QDir::currentPath(),
        save ? " Sorvel Circuit .cir (*.cir)" : " Sorvel circuit.cir (*.cir)");
    dialog->setDefaultSuffix("cir");  // added to a name typed without one
    if (save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        dialog->setOption(QFileDialog::DontConfirmOverwrite, false);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    return dialog;
}

QtWindowPort::QtWindowPort(MainWindow& main, AboutWindow& about) : main_(main), about_(about)
{
    showMessage = [this](const std::string& text) { showMessageBox(visibleWindow(main_, about_), text); };
    soundBeep = [] { QApplication::beep(); };
    runOpenDialog = [this] { return runFileDialog(&main_, false); };
    runSaveDialog = [this] { return runFileDialog(&main_, true); };
}

std::string QtWindowPort::text(const std::string& control) const
{
    QWidget* w = main_.control(control);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text().toStdString();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text().toStdString();
    throw std::invalid_argument(control + " holds no text");
}

void QtWindowPort::setText(const std::string& control, const std::string& text)
{
    QWidget* w = main_.control(control);
    const QString t = QString::fromStdString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(t);
        edit->setCursorPosition(0);  // show the start of a long text
    } else if (auto* label = qobject_cast<QLabel*>(w))
        label->setText(t);
    else if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(t);
    else
        throw std::invalid_argument(control + " holds no text");
}

bool QtWindowPort::checked(const std::string& control) const
{
    auto* box = qobject_cast<QAbstractButton*>(main_.control(control));
    if (!box || !box->isCheckable())
        throw std::invalid_argument(control + " is no check box");
    return box->isChecked();
}

void QtWindowPort::setChecked(const std::string& control, bool on)
{
    auto* box = qobject_cast<QAbstractButton*>(main_.control(control));
    if (!box || !box->isCheckable())
        throw std::invalid_argument(control + " is no check box");
    box->setChecked(on);  // emits no clicked(): the caller runs the handler if it wants it
}

void QtWindowPort::memoClear(const std::string& memo)
{
    auto* m = qobject_cast<QPlainTextEdit*>(main_.control(memo));
    if (!m)
        throw std::invalid_argument(memo + " is no memo");
    m->clear();
}

void QtWindowPort::memoAdd(const std::string& memo, const std::string& line)
{
    auto* m = qobject_cast<QPlainTextEdit*>(main_.control(memo));
    if (!m)
        throw std::invalid_argument(memo + " is no memo");
    m->appendPlainText(QString::fromStdString(line));
}

void QtWindowPort::message(const std::string& text)
{
    flush();  // what the command drew before it stopped stays in view
    showMessage(text);
}

void QtWindowPort::beep() { soundBeep(); }

std::optional<std::string> QtWindowPort::openFileDialog()
{
    flush();
    return runOpenDialog();
}

std::optional<std::string> QtWindowPort::saveFileDialog()
{
    flush();
    return runSaveDialog();
}

void QtWindowPort::closeMainWindow() { main_.close(); }

void QtWindowPort::showAbout()
{
    main_.hide();
    about_.show();
}

Canvas& QtWindowPort::canvas() { return main_.client()->canvas(); }

void QtWindowPort::flush()
{
    ClientArea* client = main_.client();
    const QRect dirty = client->canvas().takeDirty();
    if (!dirty.isEmpty())
        client->update(dirty);
}

void QtWindowPort::setHintVisible(bool visible) { main_.control("Label23")->setVisible(visible); }
