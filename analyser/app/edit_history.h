#pragma once
// Sorvel's undo history: every value edit and tune step is one step of a QUndoStack, holding
// the values before and after. Undo and redo put the values back, list and plot them.

#include <QUndoStack>
#include <functional>

#include "analyser/core/analyser.h"

class EditHistory {
public:
    // afterStep: runs after each undo or redo (bringing the picture to screen and so on).
    EditHistory(Analyser& analyser, std::function<void()> afterStep);

    QUndoStack& stack() { return stack_; }

    // Runs `command`; when it changed a value, records the change as one step called `text`.
    void record(const std::function<void()>& command, const QString& text);

    bool changed() const { return !stack_.isClean(); }
    void markSaved() { stack_.setClean(); }
    void forget() { stack_.clear(); }  // a circuit read: the steps were another circuit's

private:
    Analyser& analyser_;
    std::function<void()> afterStep_;
    QUndoStack stack_;
};
