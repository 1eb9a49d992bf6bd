#include "analyser/app/edit_history.h"

#include "analyser/core/edit_values.h"

namespace {

class ValueStep : public QUndoCommand {
public:
    ValueStep(Analyser& a, std::function<void()>& after, EditValues before, EditValues now, const QString& text)
        : QUndoCommand(text), a_(a), after_(after), before_(std::move(before)), now_(std::move(now))
    {
    }
    void undo() override { put(before_); }
    void redo() override
    {
        // Pushed after the command already made the change.
        if (first_) {
            first_ = false;
            return;
        }
        put(now_);
    }

private:
    void put(const EditValues& v)
    {
        a_.run([&] {
            restoreEditValues(a_.circuit, v);
            a_.listCircuit();
            a_.plotResponse();
        });
        if (after_)
            after_();
    }

    Analyser& a_;
    std::function<void()>& after_;
    EditValues before_, now_;
    bool first_ = true;
};

}  // namespace

EditHistory::EditHistory(Analyser& analyser, std::function<void()> afterStep)
    : analyser_(analyser), afterStep_(std::move(afterStep))
{
}

void EditHistory::record(const std::function<void()>& command, const QString& text)
{
    EditValues before = editValues(analyser_.circuit);
    command();
    EditValues now = editValues(analyser_.circuit);
    if (now != before)
        stack_.push(new ValueStep(analyser_, afterStep_, std::move(before), std::move(now), text));
}
