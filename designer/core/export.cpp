// The export of the main window: the two save commands and saveckt.
#include "designer.h"
#include "design_file.h"
#include "single.h"

void Designer::Button6Click()
{
    w.beep();
    designfile = kDefaultDesignFile;
    saveckt();
}

void Designer::SaveAs1Click()
{
    const std::optional<std::string> name = w.saveFileDialog();
    if (!name)
        return;
    designfile = *name;
    saveckt();
}

void Designer::saveckt()
{
    // A completed step 6 always leaves CT1 above 0.01 pF (a capacitor or 99999);
    // the field default and the step-1 reset value do not pass.
    s.ct[1] = readSingle(w.text("Edit32"));
    if (!(static_cast<ext>(s.ct[1]) > 0.01L)) {
        w.message(msg::kNoFileSaved);
        return;
    }
    if (s.nxtal < 1 || s.nxtal > kMeshes) {
        w.message(msg::kExportNRange);
        return;
    }
    w.beep();
    for (int i = 1; i <= kMeshes; ++i)
        s.ct[i] = readSingle(w.text("Edit" + std::to_string(31 + i)));
    writeLinesReplacing(designfile, designLines(s));
    w.message(msg::kSaved);
}
