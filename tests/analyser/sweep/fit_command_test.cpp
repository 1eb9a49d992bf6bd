// sorvel-sweep --fit: its command lines, its table and its file.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "analyser/sweep/sweep_command.h"
#include "common/errors.h"
#include "common/touchstone.h"
#include "ladder/circuit_file.h"
#include "tests/support/circuit_files.h"
#include "tests/support/fit_support.h"

namespace {

using ::testing::HasSubstr;

std::optional<SweepOptions> parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "sorvel-sweep");
    return parseSweepOptions(static_cast<int>(args.size()), args.data());
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        out.push_back(line);
    return out;
}

// A four-crystal design, and a measurement of it built with its second crystal 250 Hz high
// and its second shunt capacitor 5 % large.
struct Bench {
    circuittest::TempDir dir;
    std::string design = dir.file("design.cir"), measured = dir.file("built.s2p");
    Circuit m = readCircuitFile(std::string(FIT_DESIGNS_DIR) + "/crystal-4-pole.cir");
    Bench()
    {
        writeCircuitFile(design, m);
        m = readCircuitFile(design);
        Circuit truth = m;
        truth.part(5).partvalue += 250;
        truth.part(4).partvalue *= 1.05;
        saveTouchstone(measured, fittest::measurementOf(truth));
    }
};

TEST(FitOptions, CommandLines)
{
    const auto o = parse({"a.cir", "--fit", "b.s2p", "--free", "2,5", "--fit-q", "--out", "c.cir"});
    ASSERT_TRUE(o);
    ASSERT_TRUE(o->fit);
    EXPECT_EQ(o->fit->measurement, "b.s2p");
    EXPECT_EQ(o->fit->free, "2,5");
    EXPECT_TRUE(o->fit->fitQ);
    EXPECT_EQ(o->out, "c.cir");
    EXPECT_EQ(parse({"a.cir", "--fit", "b.s2p"})->fit->free, "default");
    EXPECT_TRUE(parse({"a.cir", "--fit", "b.s2p", "--start", "-100", "--stop", "100"}));
    const std::vector<std::vector<const char*>> refused = {
        {"a.cir", "--fit"},
        {"a.cir", "--free", "all"},
        {"a.cir", "--fit-q"},
        {"a.cir", "--fit", "b.s2p", "--fit", "c.s2p"},
        {"a.cir", "--fit", "b.s2p", "--free", "all", "--free", "shunt"},
        {"a.cir", "--fit", "b.s2p", "--measure"},
        {"a.cir", "--fit", "b.s2p", "--touchstone"},
        {"a.cir", "--fit", "b.s2p", "--at", "5"},
        {"a.cir", "--fit", "b.s2p", "--monte-carlo", "10"},
        {"a.cir", "--fit", "b.s2p", "--start", "5"},
    };
    for (const auto& args : refused)
        EXPECT_FALSE(parse(args)) << args.size();
}

TEST(FitCommand, PrintsTheTableAndWritesTheFittedCircuit)
{
    Bench b;
    const std::string out = b.dir.file("fitted.cir");
    std::string notes;
    const auto text = runSweep(*parse({b.design.c_str(), "--fit", b.measured.c_str(), "--out", out.c_str()}), &notes);
    EXPECT_EQ(notes, "");
    const auto rows = lines(text);
    ASSERT_EQ(rows.size(), 11u);  // header, nine free entries, residual
    EXPECT_EQ(rows[0], "entry,kind,nominal,fitted,change,sigma,unit,flag");
    EXPECT_THAT(rows[1], ::testing::StartsWith("1,cap,28.5,"));
    EXPECT_THAT(rows[4], ::testing::StartsWith("5,xtl,0,250."));
    EXPECT_THAT(rows[4], ::testing::EndsWith(",Hz,"));
    EXPECT_THAT(rows[10], ::testing::StartsWith("residual_rms_db,"));
    const Circuit fitted = readCircuitFile(out);
    EXPECT_NEAR(fitted.part(5).partvalue, 250, 1);
    EXPECT_NEAR(fitted.part(4).partvalue / b.m.part(4).partvalue, 1.05, 1e-3);
    // Written again, the file reads back as the same circuit.
    writeCircuitFile(b.dir.file("again.cir"), fitted);
    EXPECT_EQ(circuittest::readBytes(b.dir.file("again.cir")), circuittest::readBytes(out));

    const auto q = lines(runSweep(*parse({b.design.c_str(), "--fit", b.measured.c_str(), "--free", "crystals", "--fit-q"})));
    ASSERT_EQ(q.size(), 7u);
    EXPECT_THAT(q[5], ::testing::StartsWith("xtalqx,q,200000,"));
}

TEST(FitCommand, APoorFitSaysSoAndWritesNoFile)
{
    Bench b;
    const std::string out = b.dir.file("fitted.cir");
    std::string notes;
    const auto text =
        runSweep(*parse({b.design.c_str(), "--fit", b.measured.c_str(), "--free", "3", "--out", out.c_str()}), &notes);
    EXPECT_THAT(text, HasSubstr("3,cap,99999,"));
    EXPECT_THAT(text, HasSubstr(",pF,unresolved\n"));
    EXPECT_THAT(notes, HasSubstr("The fit is poor"));
    EXPECT_THAT(notes, HasSubstr("No file was written."));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(FitCommand, RefusalsWriteNothing)
{
    Bench b;
    const std::string out = b.dir.file("fitted.cir");
    auto refusal = [&](std::vector<const char*> args) {
        args.push_back("--out");
        args.push_back(out.c_str());
        try {
            runSweep(*parse(args));
        } catch (const AppError& e) {
            return std::string(e.what());
        }
        return std::string("(no refusal)");
    };
    EXPECT_EQ(refusal({b.design.c_str(), "--fit", b.dir.file("none.s2p").c_str()}), "File not found");
    EXPECT_THAT(refusal({b.design.c_str(), "--fit", b.measured.c_str(), "--free", "3,x"}), HasSubstr("'x' is not an entry number"));
    EXPECT_THAT(refusal({b.design.c_str(), "--fit", b.measured.c_str(), "--start", "50000", "--stop", "60000"}),
                HasSubstr("No point of the measurement lies inside the sweep"));
    EXPECT_FALSE(std::filesystem::exists(out));
}

}  // namespace
