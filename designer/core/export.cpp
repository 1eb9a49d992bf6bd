// The export of the main window: the two save commands and the save they share.
#include "designer/core/designer.h"
#include "designer/core/design_file.h"
#include "designer/core/single.h"

void Designer::saveDefaultFile()
{
    w.beep();
    designfile = kDefaultDesignFile;
    saveCircuit();
}

void Designer::saveAs()
{
    const std::optional<std::string> name = w.saveFileDialog();
    if (!name)
        return;
    designfile = *name;
    saveCircuit();
}

void Designer::saveCircuit()
{
    // A completed step 6 always leaves CT1 above 0.01 pF (a capacitor or 99999);
    // the field default and the step-1 reset value do not pass.
    s.tuningCap[1] = readSingle(w.text(design::tuningCapField(1)));
    if (!(static_cast<ext>(s.tuningCap[1]) > 0.01L)) {
        w.message(msg::kNoFileSaved);
        return;
    }
    if (s.crystalCount < 1 || s.crystalCount > kMeshes) {
        w.message(msg::kExportNRange);
        return;
    }
    if (const std::string problem = setSizeProblem(s); !problem.empty()) {
        w.message(problem);
        return;
    }
    w.beep();
    for (int i = 1; i <= kMeshes; ++i)
        s.tuningCap[i] = readSingle(w.text(design::tuningCapField(i)));
    writeLinesReplacing(designfile, designLines(s));
    w.message(msg::kSaved);
}
