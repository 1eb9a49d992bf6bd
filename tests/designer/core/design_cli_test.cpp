// mirabo-design and mirabo-crystal: the same bytes as the window, the window's refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "designer/core/crystal_measure.h"
#include "designer/core/design_cli.h"
#include "tests/support/fake_form.h"
#include "tests/support/file_support.h"
#include "common/touchstone.h"

namespace fs = std::filesystem;

namespace {

struct Cli : ::testing::Test {
    fs::path dir = fs::temp_directory_path() /
                   ("mirabo-cli-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }

    std::string design(std::vector<std::string> args, const fs::path& out)
    {
        args.insert(args.begin(), "mirabo-design");
        args.push_back("--out");
        args.push_back(out.string());
        std::vector<const char*> argv;
        for (const std::string& a : args)
            argv.push_back(a.c_str());
        return runDesign(parseDesignOptions(static_cast<int>(argv.size()), argv.data()));
    }

    // The window clicked through steps 1 to 6 (with 2A's generator when `kind` is given),
    // then File > Save As.
    std::string windowExport(const std::string& r, const fs::path& out, const char* kind = nullptr)
    {
        DesignState s;
        FakeForm w = mainFormWithDefaults();
        Designer d(s, w);
        d.showDesign();
        w.fields[design::Field::EndR] = r;
        auto click = [&](void (Designer::*step)()) { runCommand(w, [&] { (d.*step)(); }); };
        click(&Designer::characterizeCrystal);
        click(&Designer::setBandwidthAndOrder);
        if (kind) {
            FakeKandQForm g;
            KandQ generator(s, g);
            generator.showOrder();
            g.fields[kq::Field::Ripple] = "0.5";
            std::string(kind) == "butterworth" ? generator.chooseButterworth() : generator.chooseChebyshev();
            generator.calculate();
            d.showDesign();
        }
        for (auto step : {&Designer::setEndQ, &Designer::matchEnds, &Designer::computeCouplingCapacitors,
                          &Designer::tuneMeshes})
            click(step);
        w.dialogAnswer = out.string();
        click(&Designer::saveAs);
        EXPECT_EQ(w.messageEvents(), std::vector<std::string>{msg::kSaved});
        return slurp(out);
    }
};

TEST_F(Cli, WritesTheWindowsBytes)
{
    // With no options the end R is the minimum, 55.6 ohm, rounded up.
    const std::string out = design({}, dir / "cli.cir");
    EXPECT_EQ(slurp(dir / "cli.cir"), windowExport("56", dir / "window.cir"));
    EXPECT_NE(out.find("min_end_r_ohm,55.5575408935547\nend_r_ohm,56\n"), std::string::npos) << out;

    design({"--r", "100"}, dir / "cli100.cir");
    EXPECT_EQ(slurp(dir / "cli100.cir"), windowExport("100", dir / "window100.cir"));

    design({"--kq", "butterworth", "--r", "100"}, dir / "bw.cir");
    EXPECT_EQ(slurp(dir / "bw.cir"), windowExport("100", dir / "wbw.cir", "butterworth"));
    design({"--kq", "chebyshev:0.5", "--r", "100"}, dir / "ch.cir");
    EXPECT_EQ(slurp(dir / "ch.cir"), windowExport("100", dir / "wch.cir", "chebyshev"));

    // k and q given: the default design's own values as the window shows them.
    design({"--q1", "0.519", "--qn", "2.11", "--k", "1.46,1.0,0.93,0.632", "--r", "100"}, dir / "given.cir");
    EXPECT_EQ(slurp(dir / "given.cir"), slurp(dir / "window100.cir"));
}

TEST_F(Cli, RefusalsAreTheWindowsMessagesAndWriteNothing)
{
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"--r", "50"}, "Resistance is too small, so try larger value"},
        {{"--qu", "20000"}, "Crystal Q is too low.  Start over at step 1 with higher Q or step 2 with wider BW."},
        {{"--n", "11"}, "Coupling capacitors need N from 1 to 10.  Enter N again at step 2."},
        {{"--n", "21"}, "N is too large. The limit is 20."},
        {{"--bw", "abc"}, "'abc' is not a valid floating point value"},
        {{"--kq", "butterworth", "--n", "12"}, "The number of crystals must be from 1 to 10."},
        {{"--lm", "0"}, "Floating point division by zero"},
    };
    for (const Case& c : cases) {
        try {
            design(c.args, dir / "x.cir");
            ADD_FAILURE() << c.message;
        } catch (const UsageError& e) {
            ADD_FAILURE() << e.what();
        } catch (const AppError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        EXPECT_FALSE(fs::exists(dir / "x.cir")) << c.message;
    }
}

TEST_F(Cli, UsageErrors)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},
        {"--f"},
        {"--f", "10", "--f", "11"},
        {"--kq", "butterworth", "--q1", "1"},
        {"--k", "1,2,3"},  // N = 5 needs four
        {"--kq", "elliptic"},
        {"--k", "1,1,1,1,1,1,1,1,1,1"},
    };
    for (const auto& args : cases)
        EXPECT_THROW(design(args, dir / "x.cir"), UsageError) << args[0];
    EXPECT_FALSE(fs::exists(dir / "x.cir"));
}

TEST_F(Cli, CorrectedDesignAndMatchedSet)
{
    {
        std::ofstream list(dir / "batch.csv");
        list << "name,fs_hz\nA,9999990\nB,10000300\nC,9999995\nD,10000001\nE,9999980\nF,10000004\nG,10000500\n";
    }
    const std::string out =
        design({"--correct-loss", "--r", "100", "--crystals", (dir / "batch.csv").string()}, dir / "set.cir");
    EXPECT_NE(out.find("iterations,"), std::string::npos);
    EXPECT_NE(out.find("xtal1_fs_hz,9999980\nxtal2_fs_hz,9999990\nxtal3_fs_hz,9999995\n"), std::string::npos) << out;
    const std::string file = slurp(dir / "set.cir");
    EXPECT_NE(file.find("xtl\r\nser\r\n-20\r\n"), std::string::npos);
    EXPECT_NE(file.find("xtl\r\nser\r\n4\r\n"), std::string::npos);
    const auto bw3 = out.find("realized_bw3_hz,");
    ASSERT_NE(bw3, std::string::npos);

    // Without the set, the corrected design's realized band is the asked one.
    const std::string plain = design({"--correct-loss", "--r", "100"}, dir / "plain.cir");
    const auto at = plain.find("realized_bw3_hz,") + 16;
    EXPECT_NEAR(std::stod(plain.substr(at, plain.find('\n', at) - at)), 250, 1.25);
}

// A .s1p of the crystal from port 1 to ground gives the same values as the .s2p of it in series.
TEST_F(Cli, CrystalFromOneAndTwoPortFiles)
{
    const double fs = 9.999e6, lm = 0.018, rm = 7, c0 = 3.3e-12;
    const double cm = 1 / (std::pow(2 * M_PI * fs, 2) * lm);
    const double fp = fs * std::sqrt(1 + cm / c0);
    Network two, one;
    one.ports = 1;
    auto add = [&](double f) {
        const std::complex<double> s21 = crystalS21(fs, lm, rm, c0, f, 50);
        const std::complex<double> z = 100.0 / s21 - 100.0;  // from S21 = 2R / (2R + Z)
        two.frequencyHz.push_back(f);
        two.s21.push_back(s21);
        two.s11.push_back(z / (z + 100.0));
        two.s12.push_back(s21);
        two.s22.push_back(z / (z + 100.0));
        one.frequencyHz.push_back(f);
        one.s11.push_back((z - 50.0) / (z + 50.0));
    };
    for (int i = 0; i <= 400; ++i)
        add(fs - (fp - fs) + 3 * (fp - fs) * i / 400);
    for (int i = -10; i <= 10; ++i) {
        add(fs + 3000 + i * 40);
        add(fp + 1 + i * 2);
    }
    for (Network* n : {&one, &two}) {
        std::vector<std::size_t> order(n->frequencyHz.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(), [&](auto a, auto b) { return n->frequencyHz[a] < n->frequencyHz[b]; });
        auto reorder = [&](auto& v) {
            if (v.empty())
                return;
            auto copy = v;
            for (std::size_t i = 0; i < order.size(); ++i)
                v[i] = copy[order[i]];
        };
        reorder(n->frequencyHz), reorder(n->s11), reorder(n->s21), reorder(n->s12), reorder(n->s22);
    }
    saveTouchstone((dir / "x.s2p").string(), two);
    saveTouchstone((dir / "x.s1p").string(), one);
    for (const char* file : {"x.s2p", "x.s1p"}) {
        const CrystalFit fit = fitMeasuredCrystalFile((dir / file).string());
        EXPECT_NEAR(fit.fsHz, fs, 0.5) << file;
        EXPECT_NEAR(fit.lmH, lm, 0.01 * lm) << file;
        EXPECT_NEAR(fit.rmOhm, rm, 0.01 * rm) << file;
        EXPECT_NEAR(fit.c0F, c0, 0.01 * c0) << file;
    }
    const std::string s2p = (dir / "x.s2p").string();
    const char* argv[] = {"mirabo-crystal", "--port-r", "50", s2p.c_str()};
    const std::string csv = runCrystal(parseCrystalOptions(4, argv));
    std::vector<std::string> names;
    std::istringstream lines(csv);
    for (std::string line; std::getline(lines, line);)
        names.push_back(line.substr(0, line.find(',')) + line.substr(line.rfind(',')));
    EXPECT_EQ(names, (std::vector<std::string>{"fs,Hz", "lm,H", "cm,F", "rm,ohm", "c0,F", "qu,1", "fp,Hz",
                                               "residual_db,dB"}));

    const std::map<design::Field, std::string> fields = crystalFieldTexts(9999012.34, 0.0181234567, 154321.7, 3.31e-12);
    EXPECT_EQ(fields.at(design::Field::CrystalMhz), "9.99901234");
    EXPECT_EQ(fields.at(design::Field::MotionalL), "0.0181235");
    EXPECT_EQ(fields.at(design::Field::CrystalQ), "154322");
    EXPECT_EQ(fields.at(design::Field::HolderC0), "3.31");

    // A resistor is no crystal; the message says what the fit needed.
    Network resistor = two;
    for (auto& s : resistor.s21)
        s = 0.8;
    EXPECT_THROW(fitMeasuredCrystal(resistor), MeasurementError);
}

}  // namespace

TEST(CliKandQ, PrintsTheValuesTheStepsUsed)
{
    const char* argv[] = {"mirabo-design", "--kq", "gaussian", "--n", "4"};
    const std::string out = runDesign(parseDesignOptions(5, argv));
    // The generator's values as the main window's four-decimal fields hand them to the steps.
    EXPECT_NE(out.find("\nq1,2.24499989\nqn,0.177200004\nk1_2,0.691299975\nk2_3,1.42250001\nk3_4,3.26270008\n"),
              std::string::npos)
        << out;
    const char* plain[] = {"mirabo-design", "--n", "4"};
    EXPECT_EQ(runDesign(parseDesignOptions(3, plain)).find("q1,"), std::string::npos);
}
