#include "analyser/app/control_table.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <stdexcept>

namespace {

using K = ControlKind;

// Edit fields are 21 high and buttons 25, the platform's usual sizes; widths are cut
// where the default would run into the next control of the row.
const ControlRow kMainControls[] = {
    // Plot and its scale fields.
    {Label::S21Legend, "Label11", K::Label, "  S21  =", 80, 16},
    {Label::S11Legend, "Label12", K::Label, "  S11  =", 216, 16},
    {Label::ReferenceLegend, "Label34", K::Label, "S21 Ref.", 320, 16},
    {Label::TopCaption, "Label16", K::Label, "top ", 24, 24},
    {Field::TopDb, "Edit6", K::Edit, "0", 32, 40, 17, 21},
    {Label::LevelUnit, "Label4", K::Label, " dB ", 16, 80},
    {Command::Plot, "Button3", K::Button, "Plot ", 0, 112, 49, 25},
    {Field::DbPerDiv, "Edit8", K::Edit, "10", 8, 152, 41, 21},
    {Label::DbPerDivCaption, "Label6", K::Label, "dB/div.", 8, 176},
    {Label::BottomCaption, "Label18", K::Label, "bottom", 0, 280},
    {Field::BottomDb, "Edit7", K::Edit, "-100", 0, 304, 49, 21},
    {Label::StartCaption, "Label31", K::Label, "start ", 0, 344},
    {Field::StartFreq, "Edit2", K::Edit, "0", 32, 344, 53, 21},
    {Label::FrequencyCaption, "Label5", K::Label, " Frequency ", 88, 352},
    {Field::FreqUnit, "Edit14", K::Edit, "", 160, 344, 41, 21},
    {Field::FreqPerDiv, "Edit9", K::Edit, "2", 208, 344, 53, 21},
    {Label::FreqPerDivCaption, "Label9", K::Label, "Freq./div ", 264, 352},
    {Label::StopCaption, "Label32", K::Label, "stop ", 320, 352},
    {Field::StopFreq, "Edit3", K::Edit, "25", 352, 344, 57, 21},
    {Field::CircuitFile, "Edit1", K::Edit, "file", 416, 344, 305, 21},  // wide enough for a path
    {Label::PlotHint, "Label23", K::Label, "Click anywhere in the blue to update and plot.", 72, 128, 0, 0, {}, kHint},

    // Cursor, zoom and pointer readout.
    {Command::PlaceCursor, "Button11", K::Button, " Place Cursor", 0, 376, 97, 25},
    {Label::CursorCaption, "Label8", K::Label, "Cursor Data =====>", 104, 376},
    {Label::CursorFreqCaption, "Label3", K::Label, "F:", 232, 376},
    {Field::CursorFreq, "Edit23", K::Edit, "0", 248, 376, 73, 21},
    {Field::CursorFreqUnit, "Edit24", K::Edit, "", 328, 376, 49, 21},
    {Label::CursorS21Caption, "Label2", K::Label, "S21=", 384, 376},
    {Field::CursorS21, "Edit16", K::Edit, "--", 424, 376, 53, 21},
    {Label::CursorS21Unit, "Label13", K::Label, " dB ", 480, 376},
    {Label::CursorS11Caption, "Label17", K::Label, "S11=", 512, 376},
    {Field::CursorS11, "Edit4", K::Edit, "--", 552, 376, 57, 21},
    {Label::CursorS11Unit, "Label22", K::Label, "dB", 616, 376},
    {Label::ZoomHint, "Label10", K::Label, "Drag a box on graph to Zoom", 0, 404},
    // 20 high so they end where the tune group begins.
    {Command::ZoomToOriginalSweep, "Button10", K::Button, "Zoom to Original Sweep", 184, 404, 145, 20},
    {Command::SaveReference, "Button8", K::Button, "Save S21 as Ref.", 336, 404, 113, 20},
    {Check::PlotS11, "CheckBox2", K::CheckBox, "Plot S11 ", 456, 404, 77, 17, {}, kChecked},
    {Check::PlotReference, "CheckBox3", K::CheckBox, "Plot Reference ", 536, 404, 105, 17},
    {Command::ResetCursor, "Button2", K::Button, "Reset Cursor", 472, 428, 75, 25},
    // Only 16 pixels to the field: fixed, so a wider face cannot push into it.
    {Label::PointerXCaption, "Label24", K::Label, "X=", 208, 488, 16, 16},
    {Field::PointerX, "Edit5", K::Edit, "Edit5", 224, 488, 73, 21},
    {Label::PointerYCaption, "Label25", K::Label, "Y=", 304, 488, 16, 16},
    {Field::PointerY, "Edit11", K::Edit, "Edit11", 320, 488, 73, 21},

    // Circuit listing and value editor.
    {Command::ReviewCircuit, "Button4", K::Button, "Click to Review Circuit", 464, 0, 161, 25},
    {Label::ListingCaption, "Label1", K::Label, "#, part, connection, value:", 456, 32},
    {Memo::Listing, "Memo2", K::Memo, "", 456, 48, 177, 197},
    {Label::EntryNumberCaption, "Label14", K::Label, "Enter #", 464, 252},
    {Field::EntryNumber, "Edit10", K::Edit, "1", 472, 272, 49, 21},
    {Label::NewValueCaption, "Label15", K::Label, "Enter New Value", 536, 252},
    {Field::NewValue, "Edit15", K::Edit, "0", 560, 272, 73, 21},
    {Command::LoadNewValue, "Button5", K::Button, " Click to load new value ", 456, 304, 177, 25},

    // Tune group; its children are placed relative to it.
    {GroupBox::ValueTune, "GroupBox1", K::GroupBox, "Value Tune Mode ", 0, 424, 441, 49},
    {Command::TuneUp, "Button9", K::Button, "Up", 29, 16, 49, 25, GroupBox::ValueTune},
    {Command::TuneDown, "Button12", K::Button, "Down", 85, 16, 57, 25, GroupBox::ValueTune},
    {Label::TuneEntryCaption, "Label19", K::Label, "#=", 149, 16, 0, 0, GroupBox::ValueTune},
    {Field::TuneEntry, "Edit18", K::Edit, "4", 189, 16, 57, 21, GroupBox::ValueTune},
    {Label::TunePercentCaption, "Label20", K::Label, "%=", 253, 16, 0, 0, GroupBox::ValueTune},
    {Field::TunePercent, "Edit17", K::Edit, "5", 277, 16, 41, 21, GroupBox::ValueTune},
    {Label::TunedValueCaption, "Label21", K::Label, "Value=", 325, 16, 0, 0, GroupBox::ValueTune},
    {Field::TunedValue, "Edit19", K::Edit, "", 365, 16, 69, 21, GroupBox::ValueTune},

    // Program commands.
    {Command::SaveAsDefaultAndExit, "Button1", K::Button, "Save as Default File and Exit.", 448, 456, 233, 25},
    {Label::ProgramName, "Label7", K::Label, "Sorvel ladder analyser 1.0", 24, 480, 166, 16},
    {Command::QuitButton, "Button13", K::Button, "exit", 608, 488, 75, 25},
};

const ControlRow kAboutControls[] = {
    {Label::AboutTitle, "Label1", K::Label, "Sorvel Ladder Analyser, version 1.0 (2008 series)", 32, 8, 0, 0, {}, kBold},
    {Label::AboutPurpose, "Label2", K::Label,
     "Sorvel is one of a pair of bench tools for RF ladder filters. It analyses a ladder read "
     "from a circuit file; its companion, the Mirabo crystal ladder filter designer, writes "
     "such files.",
     24, 56, 457, 48, {}, kWordWrap},
    {Label::AboutStartFile, "Label4", K::Label,
     "This 2008 version differs from the earlier one in that it starts by reading a file named "
     "\"Startfile.\"",
     8, 120},
    {Label::AboutFileUse, "Label5", K::Label,
     "This file describes the circuit for the first analysis.   This file can be generated by ", 8,
     136},
    {Label::AboutFileSources, "Label6", K::Label,
     "one of several filter design programs.  Sorvel will also read named files.  ", 13, 152},
    {Command::ReturnToProgram, "Button1", K::Button, "Return to program", 56, 184, 193, 25},
};

const MenuRow kFileMenu[] = {
    {Command::OpenCircuit, "Open1", "&Open...", "Ctrl+O", QKeySequence::Open},
    {Command::SaveCircuitAs, "SaveAs1", "Save &As...", "Ctrl+Shift+S", QKeySequence::SaveAs},
    {std::nullopt, "N2"},
    {Command::OpenMeasurement, "OpenMeasurement1", "Open &Measurement..."},
    {Command::ClearMeasurement, "ClearMeasurement1", "&Clear Measurement"},
    {Command::ExportTouchstone, "ExportTouchstone1", "Export &Touchstone..."},
    {Command::ExportTouchstoneOneReference, "ExportTouchstone11", "Export Touchstone 1.1 at &50 Ohms..."},
    {Command::SavePlotImage, "SavePlotImage1", "Save Plot &Image..."},
    {std::nullopt, "N1"},
    {Command::Quit, "Exit1", "E&xit", "Ctrl+Q", QKeySequence::Quit},
};

// Acts on click: no menu opens under it.
const MenuRow kMenuBar[] = {
    {Command::ShowAbout, "AboutSorvel1", "About Sorvel"},
    {Command::ShowResponse, "Response1", "&Response..."},
    {Command::ShowTolerance, "Tolerance1", "&Tolerance..."},
    {Command::ShowFit, "Fit1", "Fit to &Measurement..."},
};

QWidget* makeControl(const ControlRow& row, QWidget* parent)
{
    const QString text = QString::fromUtf8(row.text);
    switch (row.kind) {
    case K::Label: {
        auto* label = new QLabel(text, parent);
        label->setWordWrap(row.style & kWordWrap);
        // The labels are part of the window's surface: a click on one is a click on
        // the window, as the hint inside the plot invites.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        if (row.style & (kBold | kHint)) {
            QFont f = label->font();
            f.setBold(true);
            label->setFont(f);
        }
        if (row.style & kHint) {
            QPalette p = label->palette();
            p.setColor(QPalette::Window, Qt::red);
            p.setColor(QPalette::WindowText, parent->palette().color(QPalette::WindowText));
            label->setPalette(p);
            label->setAutoFillBackground(true);
            label->setMargin(1);
        }
        return label;
    }
    case K::Edit: {
        auto* edit = new QLineEdit(text, parent);
        // The top-level field is only 17 wide: a thin border, a margin reaching into
        // the fixed inner one and a point less of type leave room for "0.0".
        if (row.width > 0 && row.width < 30) {
            edit->setStyleSheet("QLineEdit { padding: 0px; border: 1px solid gray; "
                                "background: white; font-size: 10px; }");
            edit->setTextMargins(-2, 0, -2, 0);
        }
        return edit;
    }
    case K::Button:
        return new QPushButton(text, parent);
    case K::CheckBox: {
        auto* box = new QCheckBox(text, parent);
        box->setChecked(row.style & kChecked);
        return box;
    }
    case K::Memo: {
        auto* memo = new QPlainTextEdit(text, parent);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        return memo;
    }
    case K::GroupBox:
        return new QGroupBox(text, parent);
    }
    throw std::logic_error("unknown control kind");
}

}  // namespace

std::span<const ControlRow> mainWindowControls() { return kMainControls; }
std::span<const ControlRow> aboutWindowControls() { return kAboutControls; }
std::span<const MenuRow> fileMenuItems() { return kFileMenu; }
std::span<const MenuRow> menuBarItems() { return kMenuBar; }

Controls buildControls(QWidget* surface, std::span<const ControlRow> table)
{
    Controls controls;
    for (const ControlRow& row : table) {
        QWidget* parent = surface;
        if (row.parent) {
            auto it = controls.find(*row.parent);
            if (it == controls.end())
                throw std::logic_error(std::string("control table: no parent for ") + row.name);
            parent = it->second;
        }
        QWidget* w = makeControl(row, parent);
        // A press anywhere on a control is the control's, even where the control ignores
        // it (a check box beside its text, a group box's frame): never the window's.
        if (row.kind != ControlKind::Label)
            w->setAttribute(Qt::WA_NoMousePropagation);
        w->setObjectName(QString::fromUtf8(row.name));
        if (row.width > 0)
            w->setGeometry(row.x, row.y, row.width, row.height);
        else {
            w->move(row.x, row.y);
            w->adjustSize();
        }
        if (!controls.emplace(row.id, w).second)
            throw std::logic_error(std::string("control table: duplicate ") + row.name);
    }
    return controls;
}
