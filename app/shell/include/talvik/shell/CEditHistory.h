#pragma once

// The main window's edit history: every change to the configuration made in the main
// window or a dialog it opens, as a step that can be undone and redone, a hundred deep.
// The steps keep only what they changed (model::CConfigChange); the stack is Qt's.

#include "talvik/model/CConfigChange.h"
#include "talvik/model/Forward.h"
#include "talvik/text/Language.h"

#include <QString>
#include <QUndoStack>

#include <optional>

namespace talvik::shell {

// A step's name in both languages: "Key Q", "Clear configuration", ...
struct SStepName {
    QString chinese;
    QString english;

    const QString& in(text::Language language) const {
        return language == text::Language::Chinese ? chinese : english;
    }
};

class CEditHistory {
public:
    static constexpr int kDepth = 100;

    explicit CEditHistory(model::CAppState& state);

    // Keeps the change from `before` to the present configuration as one step; nothing
    // when nothing changed. A new step drops the steps that were undone.
    void record(const model::CKeyConfig& before, SStepName name);

    bool canUndo() const { return m_stack.canUndo(); }
    bool canRedo() const { return m_stack.canRedo(); }
    int count() const { return m_stack.count(); }
    // The names of the steps an undo and a redo would take back or do again.
    std::optional<SStepName> nextUndo() const;
    std::optional<SStepName> nextRedo() const;

    // Takes the last step back, or does the last undone one again; the step's name, or
    // none when there was nothing to do. A step that changes key settings sets the
    // modified flag, as the key settings dialog's OK does.
    std::optional<SStepName> undo();
    std::optional<SStepName> redo();

    // The pool the steps' lists live in: how many distinct lists they keep.
    std::size_t distinctLists() { return m_pool.size(); }

private:
    class CStep;

    model::CAppState& m_state;
    model::CListPool m_pool;
    QUndoStack m_stack;
};

} // namespace talvik::shell
