#pragma once
// A recording WindowPort for the analyser's handlers: fields and check boxes start with
// the main window's default texts, and every effect is appended to one event log so
// tests can check both what happened and in which order.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "analyser.h"
#include "window_port.h"

inline std::string colorText(Color c)
{
    return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b);
}

struct Segment {
    Color pen;
    int x1, y1, x2, y2;
    friend bool operator==(const Segment&, const Segment&) = default;
};

struct Rect {
    Color pen, fill;
    int x1, y1, x2, y2;
};

class FakeCanvas : public Canvas {
public:
    explicit FakeCanvas(std::vector<std::string>& log) : log_(log) {}

    void setPen(Color c) override
    {
        pen = c;
        log_.push_back("pen " + colorText(c));
    }
    void setFill(Color c) override
    {
        fill = c;
        log_.push_back("fill " + colorText(c));
    }
    void rectangle(int x1, int y1, int x2, int y2) override
    {
        rects.push_back({pen, fill, x1, y1, x2, y2});
        log_.push_back("rect " + xy(x1, y1) + " " + xy(x2, y2));
    }
    void moveTo(int x, int y) override
    {
        atx_ = x;
        aty_ = y;
        log_.push_back("move " + xy(x, y));
    }
    void lineTo(int x, int y) override
    {
        segments.push_back({pen, atx_, aty_, x, y});
        atx_ = x;
        aty_ = y;
        log_.push_back("line " + xy(x, y));
    }

    // Segments drawn in one colour, in drawing order.
    std::vector<Segment> in(Color c) const
    {
        std::vector<Segment> out;
        for (const auto& s : segments)
            if (s.pen == c)
                out.push_back(s);
        return out;
    }
    // y of every full-width green line and x of every full-height one: the grid.
    std::vector<int> gridYs() const
    {
        std::vector<int> out;
        for (const auto& s : in(colors::kGrid))
            if (s.y1 == s.y2)
                out.push_back(s.y1);
        return out;
    }
    std::vector<int> gridXs() const
    {
        std::vector<int> out;
        for (const auto& s : in(colors::kGrid))
            if (s.x1 == s.x2)
                out.push_back(s.x1);
        return out;
    }
    void forget()
    {
        segments.clear();
        rects.clear();
    }

    Color pen{}, fill{};
    std::vector<Segment> segments;
    std::vector<Rect> rects;

private:
    static std::string xy(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
    std::vector<std::string>& log_;
    int atx_ = 0, aty_ = 0;
};

class FakeWindow : public WindowPort {
public:
    std::string text(const std::string& control) const override
    {
        auto it = texts.find(control);
        return it == texts.end() ? std::string() : it->second;
    }
    void setText(const std::string& control, const std::string& t) override
    {
        texts[control] = t;
        log.push_back("text " + control + "=" + t);
    }
    bool checked(const std::string& control) const override
    {
        auto it = checks.find(control);
        return it != checks.end() && it->second;
    }
    void setChecked(const std::string& control, bool on) override
    {
        checks[control] = on;
        log.push_back("check " + control + "=" + (on ? "1" : "0"));
    }
    void memoClear(const std::string& memo) override
    {
        memos[memo].clear();
        log.push_back("memo clear " + memo);
    }
    void memoAdd(const std::string& memo, const std::string& line) override
    {
        memos[memo].push_back(line);
        log.push_back("memo add " + memo);
    }
    void message(const std::string& t) override
    {
        messages.push_back(t);
        log.push_back("message " + t);
    }
    void beep() override
    {
        ++beeps;
        log.push_back("beep");
    }
    std::optional<std::string> openFileDialog() override
    {
        log.push_back("open dialog");
        return openChoice;
    }
    std::optional<std::string> saveFileDialog() override
    {
        log.push_back("save dialog");
        return saveChoice;
    }
    void closeMainWindow() override
    {
        closed = true;
        log.push_back("close");
    }
    void showAbout() override
    {
        log.push_back("about");
    }
    Canvas& canvas() override { return paper; }
    void setHintVisible(bool visible) override
    {
        hintVisible = visible;
        log.push_back(visible ? "hint shown" : "hint hidden");
    }

    // Forgets what was drawn and logged; fields and states stay.
    void forget()
    {
        log.clear();
        paper.forget();
        messages.clear();
        beeps = 0;
    }
    // How many times the plot cleared its area, i.e. how many plots got that far.
    int plots() const
    {
        int n = 0;
        for (const auto& r : paper.rects)
            n += r.x1 == 50 && r.y1 == 40 && r.x2 == 450 && r.y2 == 345;
        return n;
    }
    // Position of the first log entry equal to `entry`, or -1.
    int at(const std::string& entry) const
    {
        for (size_t i = 0; i < log.size(); ++i)
            if (log[i] == entry)
                return static_cast<int>(i);
        return -1;
    }

    std::vector<std::string> log;
    FakeCanvas paper{log};
    std::map<std::string, std::string> texts{
        {"Edit1", "file"}, {"Edit2", "0"},   {"Edit3", "25"},  {"Edit4", "--"},
        {"Edit5", "Edit5"}, {"Edit6", "0"},  {"Edit7", "-100"}, {"Edit8", "10"},
        {"Edit9", "2"},    {"Edit10", "1"},  {"Edit11", "Edit11"}, {"Edit14", ""},
        {"Edit15", "0"},   {"Edit16", "--"}, {"Edit17", "5"},  {"Edit18", "4"},
        {"Edit19", ""},    {"Edit23", "0"},  {"Edit24", ""},
    };
    std::map<std::string, bool> checks{{"CheckBox2", true}, {"CheckBox3", false}};
    std::map<std::string, std::vector<std::string>> memos;
    std::vector<std::string> messages;
    int beeps = 0;
    std::optional<std::string> openChoice, saveChoice;
    bool closed = false;
    bool hintVisible = true;
};

// An analyser on the start-up scale (0 to 30, -100 dB) with one plot drawn and the mouse
// enabled, as after start and a click on the window; the log starts empty.
struct PlottedAnalyser {
    FakeWindow w;
    Analyser a{w};

    PlottedAnalyser()
    {
        a.run([&] { a.zoomout(); });
        a.run([&] { a.Button3Click(); });
        w.forget();
    }
    // A press-drag-release through the handlers, as the platform delivers it.
    void drag(int x1, int y1, int x2, int y2)
    {
        a.run([&] { a.FormMouseMove(x1, y1); });
        a.run([&] { a.FormMouseDown(); });
        a.run([&] { a.FormMouseMove(x2, y2); });
        a.run([&] { a.FormMouseUp(); });
    }
    void plot() { a.run([&] { a.Button3Click(); }); }
};
