#include "talvik/shell/CEditHistory.h"

#include "talvik/model/CAppState.h"

#include <QUndoCommand>

#include <utility>

namespace talvik::shell {

class CEditHistory::CStep : public QUndoCommand {
public:
    CStep(model::CAppState& state, model::CConfigChange change, SStepName name)
        : QUndoCommand(name.english), m_state(state), m_change(std::move(change)),
          m_name(std::move(name)) {}

    const SStepName& name() const { return m_name; }

    void undo() override {
        m_change.undo(m_state.keyConfig);
        changed();
    }

    void redo() override {
        // The stack does a step as it takes it; the configuration has it already.
        if (m_pushed) {
            m_change.redo(m_state.keyConfig);
            changed();
        }
        m_pushed = true;
    }

private:
    void changed() {
        if (m_change.touchesKeys()) {
            m_state.modified = 1;
        }
    }

    model::CAppState& m_state;
    model::CConfigChange m_change;
    SStepName m_name;
    bool m_pushed = false;
};

CEditHistory::CEditHistory(model::CAppState& state) : m_state(state) {
    m_stack.setUndoLimit(kDepth);
}

void CEditHistory::record(const model::CKeyConfig& before, SStepName name) {
    model::CConfigChange change = model::CConfigChange::between(before, m_state.keyConfig, m_pool);
    if (!change.empty()) {
        m_stack.push(new CStep(m_state, std::move(change), std::move(name)));
    }
}

std::optional<SStepName> CEditHistory::nextUndo() const {
    if (!m_stack.canUndo()) {
        return std::nullopt;
    }
    return static_cast<const CStep*>(m_stack.command(m_stack.index() - 1))->name();
}

std::optional<SStepName> CEditHistory::nextRedo() const {
    if (!m_stack.canRedo()) {
        return std::nullopt;
    }
    return static_cast<const CStep*>(m_stack.command(m_stack.index()))->name();
}

std::optional<SStepName> CEditHistory::undo() {
    std::optional<SStepName> name = nextUndo();
    if (name) {
        m_stack.undo();
    }
    return name;
}

std::optional<SStepName> CEditHistory::redo() {
    std::optional<SStepName> name = nextRedo();
    if (name) {
        m_stack.redo();
    }
    return name;
}

} // namespace talvik::shell
