#pragma once
// The one recording window and canvas for the analyser's tests. Fields start with the
// main window's default texts; every effect goes to one log, so tests can check order.

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analyser/core/analyser.h"

struct Segment {
    Color pen;
    int x1, y1, x2, y2;
    friend bool operator==(const Segment&, const Segment&) = default;
};

class FakeWindow : public WindowPort, public Canvas {
public:
    std::string text(Field f) const override { return texts.count(f) ? texts.at(f) : ""; }
    void setText(Field f, const std::string& t) override
    {
        texts[f] = t;
        note("text " + nameOf(f) + "=" + t);
    }
    bool checked(Check c) const override { return checks.count(c) && checks.at(c); }
    void setChecked(Check c, bool on) override
    {
        checks[c] = on;
        note(c == Check::PlotS11 ? "check PlotS11" : "check PlotReference");
    }
    void memoClear(Memo m) override
    {
        memos[m].clear();
        note("memo clear");
    }
    void memoAdd(Memo m, const std::string& line) override
    {
        memos[m].push_back(line);
        note("memo add");
    }
    void message(const std::string& t) override { messages.push_back(t); note("message " + t); }
    void beep() override { note("beep"); }
    std::optional<std::string> openFileDialog() override { note("open dialog"); return openChoice; }
    std::optional<std::string> saveFileDialog() override { note("save dialog"); return saveChoice; }
    void closeMainWindow() override { note("close"); }
    void showAbout() override { note("about"); }
    void setHintVisible(bool on) override { hint = on; note(on ? "hint shown" : "hint hidden"); }
    Canvas& canvas() override { return *this; }
    std::optional<std::string> chooseFile(FileChoice) override { note("choose file"); return fileChoice; }
    void setMeasurementLegend(bool s21, bool s11) override { legend = {s21, s11}; }

    void setPen(Color c) override { pen = c; note("pen " + rgb(c)); }
    void setFill(Color c) override { fill = c; note("fill " + rgb(c)); }
    void rectangle(int x1, int y1, int x2, int y2) override
    {
        rects.push_back({pen, x1, y1, x2, y2});
        note("rect " + xy(x1, y1) + " " + xy(x2, y2));
    }
    void moveTo(int x, int y) override { atx = x; aty = y; note("move " + xy(x, y)); }
    void lineTo(int x, int y) override
    {
        lines.push_back({pen, atx, aty, x, y});
        atx = x; aty = y; note("line " + xy(x, y));
    }

    std::vector<Segment> in(Color c) const
    {
        std::vector<Segment> out;
        std::copy_if(lines.begin(), lines.end(), std::back_inserter(out), [&](auto& s) { return s.pen == c; });
        return out;
    }
    // y of every horizontal grid line, or x of every vertical one.
    std::vector<int> grid(bool horizontal) const
    {
        std::vector<int> out;
        for (const auto& s : in(colors::kGrid))
            if ((s.y1 == s.y2) == horizontal)
                out.push_back(horizontal ? s.y1 : s.x1);
        return out;
    }
    // The fields written since the last forget(), in order.
    std::vector<std::string> written() const
    {
        std::vector<std::string> out;
        for (const auto& e : log)
            if (e.rfind("text ", 0) == 0)
                out.push_back(e.substr(5, e.find('=') - 5));
        return out;
    }
    int plots() const  // plots that got as far as clearing the plot area
    {
        return int(std::count(log.begin(), log.end(), "rect 50,40 450,345"));
    }
    int at(const std::string& entry) const
    {
        auto it = std::find(log.begin(), log.end(), entry);
        return it == log.end() ? -1 : int(it - log.begin());
    }
    void forget() { log.clear(); lines.clear(); rects.clear(); messages.clear(); }

    std::vector<std::string> log, messages;
    std::vector<Segment> lines, rects;  // a rectangle as its pen and corners
    Color pen{}, fill{};
    bool hint = true;
    std::optional<std::string> openChoice, saveChoice, fileChoice;
    std::pair<bool, bool> legend{};  // measured S21, S11 named
    std::function<void(const std::string&)> onEffect;  // sees each effect as it happens
    std::map<Memo, std::vector<std::string>> memos;
    std::map<Check, bool> checks{{Check::PlotS11, true}, {Check::PlotReference, false}};
    // The pointer readout starts with placeholder texts nothing reads; they are left out.
    std::map<Field, std::string> texts{
        {Field::CircuitFile, "file"}, {Field::StartFreq, "0"},  {Field::StopFreq, "25"},
        {Field::CursorS11, "--"},     {Field::TopDb, "0"},      {Field::BottomDb, "-100"},
        {Field::DbPerDiv, "10"},      {Field::FreqPerDiv, "2"}, {Field::EntryNumber, "1"},
        {Field::NewValue, "0"},       {Field::CursorS21, "--"}, {Field::TunePercent, "5"},
        {Field::TuneEntry, "4"},      {Field::CursorFreq, "0"},
    };

    // The name the log gives a field: its identifier.
    static std::string nameOf(Field f)
    {
        static const std::map<Field, std::string> names{
            {Field::CircuitFile, "CircuitFile"}, {Field::StartFreq, "StartFreq"},
            {Field::StopFreq, "StopFreq"},       {Field::FreqPerDiv, "FreqPerDiv"},
            {Field::FreqUnit, "FreqUnit"},       {Field::TopDb, "TopDb"},
            {Field::BottomDb, "BottomDb"},       {Field::DbPerDiv, "DbPerDiv"},
            {Field::CursorFreq, "CursorFreq"},   {Field::CursorFreqUnit, "CursorFreqUnit"},
            {Field::CursorS21, "CursorS21"},     {Field::CursorS11, "CursorS11"},
            {Field::PointerX, "PointerX"},       {Field::PointerY, "PointerY"},
            {Field::EntryNumber, "EntryNumber"}, {Field::NewValue, "NewValue"},
            {Field::TuneEntry, "TuneEntry"},     {Field::TunePercent, "TunePercent"},
            {Field::TunedValue, "TunedValue"},
        };
        return names.at(f);
    }

private:
    void note(const std::string& s)
    {
        log.push_back(s);
        if (onEffect)
            onEffect(s);
    }
    static std::string rgb(Color c) { return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b); }
    static std::string xy(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    int atx = 0, aty = 0;
};

// After start and a click on the window: the start-up scale (0 to 30 MHz, -100 dB) is
// plotted and the mouse acts. The log starts empty.
struct Plotted {
    FakeWindow w;
    Analyser a{w};

    Plotted()
    {
        a.run([&] { a.restoreOriginalSweep(); });
        plot();
        w.forget();
    }
    void run(void (Analyser::*handler)()) { a.run([&] { (a.*handler)(); }); }
    void plot() { run(&Analyser::plot); }
    void drag(int x1, int y1, int x2, int y2)
    {
        a.run([&] { a.pointerMoved(x1, y1); });
        run(&Analyser::pointerPressed);
        a.run([&] { a.pointerMoved(x2, y2); });
        run(&Analyser::pointerReleased);
    }
};
