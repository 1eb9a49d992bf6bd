// sorvel-sweep FILE.cir [--at FREQUENCY]
// Reads a circuit file as the analyser does and prints S21 and S11 in dB as CSV over the
// file's sweep, or at one frequency, in the file's unit (MHz, or Hz offset for a crystal
// circuit). Any failure prints its message alone on standard error and exits with 1.

#include <cstdio>
#include <string>

#include "circuitfile.h"
#include "errors.h"
#include "numread.h"
#include "sweep.h"
#include "window_port.h"

namespace {

// The reader erases the plot and fills the scale fields; here nobody is looking.
class NoCanvas : public Canvas {
public:
    void setPen(Color) override {}
    void setFill(Color) override {}
    void rectangle(int, int, int, int) override {}
    void moveTo(int, int) override {}
    void lineTo(int, int) override {}
};

class NoWindow : public WindowPort {
public:
    std::string text(const std::string&) const override { return {}; }
    void setText(const std::string&, const std::string&) override {}
    bool checked(const std::string&) const override { return false; }
    void setChecked(const std::string&, bool) override {}
    void memoClear(const std::string&) override {}
    void memoAdd(const std::string&, const std::string&) override {}
    void message(const std::string&) override {}
    void beep() override {}
    std::optional<std::string> openFileDialog() override { return std::nullopt; }
    std::optional<std::string> saveFileDialog() override { return std::nullopt; }
    void closeMainWindow() override {}
    void showAbout() override {}
    Canvas& canvas() override { return noCanvas; }

private:
    NoCanvas noCanvas;
};

int usage()
{
    std::fputs("usage: sorvel-sweep FILE.cir [--at FREQUENCY]\n", stderr);
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool single = argc == 4 && std::string(argv[2]) == "--at";
    if (argc != 2 && !single)
        return usage();
    try {
        Model model = Model::startup();
        model.circuitfile = argv[1];
        NoWindow window;
        readladder(model, window);
        // The whole output is made first, so a failure leaves no partial table behind.
        const std::string out =
            single ? pointCsv(model, readNumber(argv[3])) : sweepCsv(model);
        std::fwrite(out.data(), 1, out.size(), stdout);
        if (std::fflush(stdout) != 0)
            return 1;
    } catch (const AppError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
