#pragma once
// Windows for the designer's tests: fields in a map, and every visible effect (field
// writes, messages, beeps, memo lines) recorded in order.

#include <optional>
#include <string>
#include <vector>

#include "designer/core/designer.h"
#include "designer/core/form_port.h"
#include "designer/core/kandq.h"
#include "designer/core/memory_port.h"

// How a field write shows in `events`.
template <class Field>
std::string fieldEvent(Field field, const std::string& text)
{
    return "field " + std::to_string(static_cast<int>(field)) + "=" + text;
}

template <class Port>
class FakeFields : public MemoryFields<Port> {
public:
    using Field = typename Port::Field;

    std::vector<std::string> events;  // fieldEvent(...), "message:...", "beep"
    std::optional<std::string> dialogAnswer;

    void setText(Field field, const std::string& text) override
    {
        MemoryFields<Port>::setText(field, text);
        events.push_back(fieldEvent(field, text));
    }
    void message(const std::string& text) override
    {
        MemoryFields<Port>::message(text);
        events.push_back("message:" + text);
    }
    void beep() override { events.push_back("beep"); }
    std::optional<std::string> saveFileDialog() override { return dialogAnswer; }

    // The messages among the events (since they were last cleared).
    std::vector<std::string> messageEvents() const
    {
        std::vector<std::string> out;
        for (const std::string& e : events)
            if (e.rfind("message:", 0) == 0)
                out.push_back(e.substr(8));
        return out;
    }
};

using FakeForm = FakeFields<DesignPort>;
using FakeKandQForm = WithMemo<FakeFields<KandQPort>>;

// The main window's fields as the window is built.
inline FakeForm mainFormWithDefaults()
{
    FakeForm f;
    f.fields = defaultDesignFields();
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
