#pragma once
// Windows without a screen: field texts in a map and messages in a list. The command line
// and the loss correction run the steps on these, so they compute exactly what the window's
// steps compute, and a correction that fails leaves the real window untouched.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "designer/core/form_port.h"

template <class Port>
class MemoryFields : public Port {
public:
    using Field = typename Port::Field;

    std::map<Field, std::string> fields;
    std::vector<std::string> messages;

    std::string text(Field field) const override
    {
        const auto it = fields.find(field);
        return it == fields.end() ? std::string() : it->second;
    }
    void setText(Field field, const std::string& text) override { fields[field] = text; }
    void message(const std::string& text) override { messages.push_back(text); }
    void beep() override {}
    std::optional<std::string> saveFileDialog() override { return std::nullopt; }
};

using MemoryDesignPort = MemoryFields<DesignPort>;

// The generator's memo as lines, on any fields of the k-and-q window.
template <class Fields>
class WithMemo : public Fields {
public:
    std::vector<std::string> memo;
    void memoClear(kq::Memo) override { memo.clear(); }
    void memoAdd(kq::Memo, const std::string& line) override { memo.push_back(line); }
};

using MemoryKandQPort = WithMemo<MemoryFields<KandQPort>>;

// The main window's field texts as it is built: the start crystal, 250 Hz, five crystals,
// the Gaussian-to-6 dB end Q and k values, R = 50.
std::map<design::Field, std::string> defaultDesignFields();

// The field texts the user types (crystal, B, N, q1, qn, k, R), copied from a window.
std::map<design::Field, std::string> typedDesignFields(const DesignPort& window);

// The fields the steps write (minimum R, end, coupling and tuning capacitors).
std::vector<design::Field> computedDesignFields();
