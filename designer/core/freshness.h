#pragma once
// Which results still belong to the inputs on screen. A change of an input (typed, taken
// from a measurement, a matched set, an opened design) puts every computed field and the
// realized response out of date; each is up to date again once a step writes it or the
// response is computed again.

#include <functional>
#include <set>
#include <string>

#include "designer/core/form_port.h"

class Freshness {
public:
    void inputChanged();
    void written(design::Field field);
    void realizedComputed();

    bool outOfDate(design::Field field) const { return stale.count(field) > 0; }
    bool realizedOutOfDate() const { return realizedStale; }

    std::function<void()> onChange;  // after every change of the marks

private:
    void changed();
    std::set<design::Field> stale;
    bool realizedStale = false;
};

// The main window's port as the steps see it: every write reaches `window` and marks the
// field up to date.
class FreshnessPort : public DesignPort {
public:
    FreshnessPort(DesignPort& window, Freshness& marks) : w(window), f(marks) {}

    std::string text(Field field) const override { return w.text(field); }
    void setText(Field field, const std::string& text) override
    {
        w.setText(field, text);
        f.written(field);
    }
    void message(const std::string& text) override { w.message(text); }
    void beep() override { w.beep(); }
    std::optional<std::string> saveFileDialog() override { return w.saveFileDialog(); }

private:
    DesignPort& w;
    Freshness& f;
};
