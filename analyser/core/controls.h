#pragma once
// The controls of Sorvel's windows, named by what they hold or do. The behaviour
// addresses fields, check boxes and the listing by these; the Qt layer's control table
// gives each its widget. Both windows share the enums: the About window's controls carry
// "About" in their names.

// Edit fields.
enum class Field {
    CircuitFile,     // the file name shown under the plot
    StartFreq,
    StopFreq,
    FreqPerDiv,
    FreqUnit,        // "MHz", or "Hz" for a crystal circuit
    TopDb,
    BottomDb,
    DbPerDiv,
    CursorFreq,      // 0 means no cursor
    CursorFreqUnit,
    CursorS21,       // S21 in dB at the cursor
    CursorS11,
    PointerX,        // pointer position in client pixels
    PointerY,
    EntryNumber,     // value editor: the entry to change
    NewValue,
    TuneEntry,       // Up/Down: the entry to step
    TunePercent,
    TunedValue,
};

// Check boxes.
enum class Check {
    PlotS11,
    PlotReference,
};

enum class Memo {
    Listing,  // the circuit listing: entry number, part, connection, value
};

// Static texts nobody writes to, except the hint, which is shown and hidden.
enum class Label {
    S21Legend,
    S11Legend,
    ReferenceLegend,
    TopCaption,
    LevelUnit,
    DbPerDivCaption,
    BottomCaption,
    StartCaption,
    FrequencyCaption,
    FreqPerDivCaption,
    StopCaption,
    PlotHint,  // "Click anywhere in the blue to update and plot."
    CursorCaption,
    CursorFreqCaption,
    CursorS21Caption,
    CursorS21Unit,
    CursorS11Caption,
    CursorS11Unit,
    ZoomHint,
    PointerXCaption,
    PointerYCaption,
    ListingCaption,
    EntryNumberCaption,
    NewValueCaption,
    TuneEntryCaption,
    TunePercentCaption,
    TunedValueCaption,
    ProgramName,

    AboutTitle,
    AboutPurpose,
    AboutStartFile,
    AboutFileUse,      // one sentence over two lines
    AboutFileSources,
};

enum class GroupBox {
    ValueTune,
};

// Buttons and menu items, by what clicking them does.
enum class Command {
    Plot,
    SaveReference,
    PlaceCursor,
    ResetCursor,
    ZoomToOriginalSweep,
    ReviewCircuit,
    LoadNewValue,
    TuneUp,
    TuneDown,
    SaveAsDefaultAndExit,
    QuitButton,  // the "exit" button; the File menu's Exit is Quit

    OpenCircuit,
    SaveCircuitAs,
    Quit,
    ShowAbout,
    ShowTolerance,

    OpenMeasurement,   // a Touchstone file's S21 and S11 over the plot
    ClearMeasurement,
    ExportTouchstone,
    ExportTouchstoneOneReference,  // version 1.1, both ports at one reference resistance
    SavePlotImage,
    ShowResponse,      // the Response window
    ShowFit,           // the Fit to Measurement window

    ReturnToProgram,  // About window
};
