#include "designer/app/qt_form_port.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

namespace {

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

std::optional<QString> designDialog(QWidget* parent, bool save)
{
    QFileDialog dialog(parent, save ? QStringLiteral("Save Design") : QStringLiteral("Open Design"),
                       QDir::currentPath(), QStringLiteral("Mirabo design (*.mirabo);;All files (*)"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("mirabo"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

}  // namespace

namespace ui {
std::function<void(QWidget*, const QString&)> showMessage = messageBox;
std::function<void()> beep = [] { QApplication::beep(); };
std::function<std::optional<QString>(QWidget*)> chooseSaveFile = saveDialog;
std::function<std::optional<QString>(QWidget*, bool)> chooseDesignFile = designDialog;
}  // namespace ui
