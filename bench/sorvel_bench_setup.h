#pragma once
// The benchmarks' running Sorvel: the 80-part crystal ladder in force, its sweep in the
// scale fields, and messages caught instead of shown.

#include <string>

#include "analyser/app/sorvel_app.h"
#include "common/numtext.h"
#include "tests/support/ladder_support.h"

inline void loadFullCrystalLadder(SorvelApp& sorvel, std::string& message)
{
    sorvel.port().showMessage = [&message](const std::string& text) { message = text; };
    Circuit& m = sorvel.analyser().circuit;
    m = laddertest::fullCrystalLadder();
    QtWindowPort& port = sorvel.port();
    port.setText(Field::StartFreq, generalText(m.startfreq, 15));
    port.setText(Field::StopFreq, generalText(m.stopfreq, 15));
    port.setText(Field::FreqPerDiv, generalText((m.stopfreq - m.startfreq) / 10, 15));
}

// The same, with the cursor mid-sweep and tune mode stepping entry 3 by 0.1 %.
inline void setUpTuneSteps(SorvelApp& sorvel, std::string& message)
{
    loadFullCrystalLadder(sorvel, message);
    const Circuit& m = sorvel.analyser().circuit;
    QtWindowPort& port = sorvel.port();
    port.setText(Field::CursorFreq, generalText((m.startfreq + m.stopfreq) / 2, 15));
    port.setText(Field::TuneEntry, "3");
    port.setText(Field::TunePercent, "0.1");
}
