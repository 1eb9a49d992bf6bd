#include "analyser/app/qt_window_port.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <stdexcept>

#include <map>

#include "analyser/app/measurement_legend.h"
#include "analyser/app/plot_image.h"
#include "analyser/app/windows.h"

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

// The table gives every Field an edit, every Check a check box and every Memo a memo;
// anything else is a mistake in the table.
QLineEdit* editOf(const MainWindow& main, Field field)
{
    auto* edit = qobject_cast<QLineEdit*>(main.control(field));
    if (!edit)
        throw std::logic_error(main.control(field)->objectName().toStdString() + " is no edit field");
    return edit;
}

QAbstractButton* checkBoxOf(const MainWindow& main, Check box)
{
    auto* button = qobject_cast<QAbstractButton*>(main.control(box));
    if (!button || !button->isCheckable())
        throw std::logic_error(main.control(box)->objectName().toStdString() + " is no check box");
    return button;
}

QPlainTextEdit* memoOf(const MainWindow& main, Memo memo)
{
    auto* m = qobject_cast<QPlainTextEdit*>(main.control(memo));
    if (!m)
        throw std::logic_error(main.control(memo)->objectName().toStdString() + " is no memo");
    return m;
}

std::optional<std::string> runDialog(std::unique_ptr<QFileDialog> dialog)
{
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

std::unique_ptr<QFileDialog> makeFileDialog(QWidget* parent, FileChoice choice)
{
    struct Kind {
        const char* caption;
        const char* filter;
        const char* suffix;
        bool save;
    };
    static const std::map<FileChoice, Kind> kinds{
        {FileChoice::OpenMeasurement,
         {"Open Measurement", "Touchstone files (*.s1p *.s2p *.S1P *.S2P *.ts);;All files (*)", "", false}},
        {FileChoice::ExportTouchstone,
         {"Export Touchstone", "Touchstone two-port (*.s2p *.ts);;Touchstone one-port, S11 (*.s1p)", "s2p", true}},
        {FileChoice::ExportTouchstoneOneReference,
         {"Export Touchstone 1.1 at 50 Ohms", "Touchstone two-port (*.s2p);;Touchstone one-port, S11 (*.s1p)", "s2p",
          true}},
        {FileChoice::SavePlotImage,
         {"Save Plot Image", "PNG image (*.png);;SVG drawing (*.svg);;BMP image (*.bmp);;JPEG image (*.jpg *.jpeg)",
          "png", true}},
    };
    const Kind& k = kinds.at(choice);
    auto dialog = std::make_unique<QFileDialog>(parent, k.caption, QDir::currentPath(), k.filter);
    dialog->setDefaultSuffix(k.suffix);
    dialog->setAcceptMode(k.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(k.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (choice == FileChoice::SavePlotImage) {
        // The filter picked says the format, unless the name typed says it already.
        QFileDialog* d = dialog.get();
        QObject::connect(d, &QFileDialog::filterSelected, d, [d](const QString& filter) {
            d->setDefaultSuffix(filter.contains("svg") ? "svg" : filter.contains("bmp") ? "bmp"
                                                   : filter.contains("jpg") ? "jpg" : "png");
        });
    }
    return dialog;
}

QtWindowPort::QtWindowPort(MainWindow& main, AboutWindow& about) : main_(main), about_(about)
{
    showMessage = [this](const std::string& text) { showMessageBox(visibleWindow(main_, about_), text); };
    soundBeep = [] { QApplication::beep(); };
    runOpenDialog = [this] { return runDialog(makeFileDialog(&main_, false)); };
    runSaveDialog = [this] { return runDialog(makeFileDialog(&main_, true)); };
    runChooseFile = [this](FileChoice choice) { return runDialog(makeFileDialog(&main_, choice)); };
}

std::string QtWindowPort::text(Field field) const
{
    return editOf(main_, field)->text().toStdString();
}

void QtWindowPort::setText(Field field, const std::string& text)
{
    QLineEdit* edit = editOf(main_, field);
    edit->setText(QString::fromStdString(text));
    edit->setCursorPosition(0);  // show the start of a long text
}

bool QtWindowPort::checked(Check box) const { return checkBoxOf(main_, box)->isChecked(); }

void QtWindowPort::setChecked(Check box, bool on)
{
    // Emits no clicked(): the caller runs the handler if it wants it.
    checkBoxOf(main_, box)->setChecked(on);
}

void QtWindowPort::memoClear(Memo memo) { memoOf(main_, memo)->clear(); }

void QtWindowPort::memoAdd(Memo memo, const std::string& line)
{
    memoOf(main_, memo)->appendPlainText(QString::fromStdString(line));
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

void QtWindowPort::setHintVisible(bool visible) { main_.control(Label::PlotHint)->setVisible(visible); }

std::optional<std::string> QtWindowPort::chooseFile(FileChoice choice)
{
    flush();
    return runChooseFile(choice);
}

void QtWindowPort::savePlotImage(const std::string& path)
{
    flush();
    savePlotImageFile(main_.client(), path);
}

void QtWindowPort::setMeasurementLegend(bool s21, bool s11) { main_.measurementLegend()->setTraces(s21, s11); }

void QtWindowPort::plotFinished()
{
    if (onPlotFinished)
        onPlotFinished();
}
