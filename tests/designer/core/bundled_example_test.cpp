// The five-crystal example shipped with the programs is the designer's default design, byte
// for byte as its export writes it, so the example never drifts from what Mirabo makes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "designer/core/designer.h"
#include "tests/support/fake_form.h"
#include "tests/support/file_support.h"

namespace fs = std::filesystem;

namespace {

TEST(BundledExample, FiveCrystalExampleIsTheDefaultExport)
{
    const fs::path dir = fs::temp_directory_path() / ("mirabo-example-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    DesignState s;
    FakeForm w = mainFormWithDefaults();
    Designer d{s, w};
    clickStartDesign(d, w);
    w.dialogAnswer = (dir / "design.cir").string();
    runCommand(w, [&] { d.saveAs(); });
    const std::string written = slurp(dir / "design.cir");
    fs::remove_all(dir);
    ASSERT_FALSE(written.empty()) << "the export wrote nothing";
    EXPECT_EQ(slurp(fs::path(EXAMPLES_DIR) / "crystal-5-pole.cir"), written);
}

}  // namespace
