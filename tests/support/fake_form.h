#pragma once
// Windows for the designer's tests: fields in a map, and every visible effect (field
// writes, messages, beeps, memo lines) recorded in order.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "designer/core/designer.h"
#include "designer/core/form_port.h"
#include "designer/core/kandq.h"

// How a field write shows in `events`.
template <class Field>
std::string fieldEvent(Field field, const std::string& text)
{
    return "field " + std::to_string(static_cast<int>(field)) + "=" + text;
}

template <class Port>
class FakeFields : public Port {
public:
    using Field = typename Port::Field;

    std::map<Field, std::string> fields;
    std::vector<std::string> events;  // fieldEvent(...), "message:...", "beep"
    std::optional<std::string> dialogAnswer;

    std::string text(Field field) const override
    {
        auto it = fields.find(field);
        return it == fields.end() ? std::string() : it->second;
    }
    void setText(Field field, const std::string& text) override
    {
        fields[field] = text;
        events.push_back(fieldEvent(field, text));
    }
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

using FakeForm = FakeFields<DesignPort>;

class FakeKandQForm : public FakeFields<KandQPort> {
public:
    std::vector<std::string> memo;

    void memoClear(kq::Memo) override { memo.clear(); }
    void memoAdd(kq::Memo, const std::string& line) override { memo.push_back(line); }
};

// The main window's fields as the window is built.
inline FakeForm mainFormWithDefaults()
{
    using design::Field;
    FakeForm f;
    f.fields = {{Field::CrystalMhz, "10.0"}, {Field::MotionalL, ".02"}, {Field::HolderC0, "3.0"},
                {Field::CrystalQ, "200000"}, {Field::Bandwidth, "250"},  {Field::CrystalCount, "5"},
                {Field::MinEndR, "----"},    {Field::Q1, "0.519"},       {Field::Qn, "2.11"},
                {Field::K12, "1.46"},        {Field::K23, "1.0"},        {Field::K34, "0.93"},
                {Field::K45, "0.632"},       {Field::EndR, "50"},        {Field::EndC1, "--------"},
                {Field::EndCn, "------"}};
    for (int j = 5; j <= 9; ++j)
        f.fields[design::couplingField(j)] = ".001";
    for (int j = 1; j <= 9; ++j)
        f.fields[design::couplingCapField(j)] = ".001";
    for (int i = 1; i <= 10; ++i)
        f.fields[design::tuningCapField(i)] = ".001";
    return f;
}

// The start design with `n` crystals and R = 100, clicked through steps 1 to 6.
inline void clickStartDesign(Designer& d, FakeForm& w, const std::string& n = "5")
{
    d.showDesign();
    w.fields[design::Field::CrystalCount] = n;
    w.fields[design::Field::EndR] = "100";
    for (auto step : {&Designer::characterizeCrystal, &Designer::setBandwidthAndOrder, &Designer::setEndQ,
                      &Designer::matchEnds, &Designer::computeCouplingCapacitors, &Designer::tuneMeshes})
        runCommand(w, [&] { (d.*step)(); });
}
