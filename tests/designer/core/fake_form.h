#pragma once
// A window for the designer's tests: fields in a map, and every visible effect (field
// writes, messages, beeps, memo lines) recorded in order.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "designer.h"
#include "form_port.h"

class FakeForm : public FormPort {
public:
    std::map<std::string, std::string> fields;
    std::vector<std::string> memo;
    std::vector<std::string> events;  // "Edit7=55.6", "message:...", "beep"
    std::optional<std::string> dialogAnswer;

    std::string text(const std::string& control) const override
    {
        auto it = fields.find(control);
        return it == fields.end() ? std::string() : it->second;
    }
    void setText(const std::string& control, const std::string& text) override
    {
        fields[control] = text;
        events.push_back(control + "=" + text);
    }
    void memoClear(const std::string&) override { memo.clear(); }
    void memoAdd(const std::string&, const std::string& line) override { memo.push_back(line); }
    void message(const std::string& text) override { events.push_back("message:" + text); }
    void beep() override { events.push_back("beep"); }
    std::optional<std::string> saveFileDialog() override { return dialogAnswer; }

    std::vector<std::string> messages() const
    {
        std::vector<std::string> out;
        for (const std::string& e : events)
            if (e.rfind("message:", 0) == 0)
                out.push_back(e.substr(8));
        return out;
    }
};

// The main window's fields as the window is built.
inline FakeForm mainFormWithDefaults()
{
    FakeForm f;
    f.fields = {{"Edit1", "10.0"}, {"Edit2", ".02"}, {"Edit3", "3.0"}, {"Edit4", "200000"},
                {"Edit5", "250"}, {"Edit6", "5"}, {"Edit7", "----"}, {"Edit9", "0.519"},
                {"Edit10", "2.11"}, {"Edit11", "1.46"}, {"Edit12", "1.0"}, {"Edit13", "0.93"},
                {"Edit14", "0.632"}, {"Edit20", "50"}, {"Edit21", "--------"}, {"Edit22", "------"}};
    for (int i = 15; i <= 19; ++i)
        f.fields["Edit" + std::to_string(i)] = ".001";
    for (int i = 23; i <= 41; ++i)
        f.fields["Edit" + std::to_string(i)] = ".001";
    return f;
}

// The start design with `n` crystals and R = 100, clicked through steps 1 to 6.
inline void clickStartDesign(Designer& d, FakeForm& w, const std::string& n = "5")
{
    d.FormShow();
    w.fields["Edit6"] = n;
    w.fields["Edit20"] = "100";
    for (auto step : {&Designer::Button1Click, &Designer::Button2Click, &Designer::Button3Click,
                      &Designer::Button4Click, &Designer::Button5Click, &Designer::Button14Click})
        runCommand(w, [&] { (d.*step)(); });
}
