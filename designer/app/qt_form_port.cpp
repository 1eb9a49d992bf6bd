#include "qt_form_port.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>

namespace {

template <class T>
T* control(const QWidget& window, const std::string& name)
{
    T* c = window.findChild<T*>(QString::fromStdString(name));
    Q_ASSERT_X(c, "control", name.c_str());
    return c;
}

void messageBox(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Mirabo"), text, QMessageBox::Ok, parent);
    box.exec();
}

std::optional<QString> saveDialog(QWidget* parent)
{
    QFileDialog dialog(parent, QStringLiteral("Save As"), QDir::currentPath(),
                       QStringLiteral("Sorvel circuit .cir (*.cir)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("cir"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace

namespace ui {
std::function<void(QWidget*, const QString&)> showMessage = messageBox;
std::function<void()> beep = [] { QApplication::beep(); };
std::function<std::optional<QString>(QWidget*)> chooseSaveFile = saveDialog;
}  // namespace ui

std::string QtFormPort::text(const std::string& control) const
{
    return ::control<QLineEdit>(w, control)->text().toStdString();
}

void QtFormPort::setText(const std::string& control, const std::string& text)
{
    ::control<QLineEdit>(w, control)->setText(QString::fromStdString(text));
}

void QtFormPort::memoClear(const std::string& memo)
{
    ::control<QPlainTextEdit>(w, memo)->clear();
}

void QtFormPort::memoAdd(const std::string& memo, const std::string& line)
{
    ::control<QPlainTextEdit>(w, memo)->appendPlainText(QString::fromStdString(line));
}

void QtFormPort::message(const std::string& text)
{
    ui::showMessage(&w, QString::fromStdString(text));
}

void QtFormPort::beep()
{
    ui::beep();
}

std::optional<std::string> QtFormPort::saveFileDialog()
{
    const std::optional<QString> name = ui::chooseSaveFile(&w);
    if (!name)
        return std::nullopt;
    return name->toStdString();
}
