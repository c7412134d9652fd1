#pragma once

// The main window's profile files: the file dialog that asks for one, saving
// the configuration there or loading it from there, and what the user is told
// when that goes wrong. The window keeps the questions around it (leaving with
// unwritten changes) and its own repaints.

#include "talvik/model/Forward.h"
#include "talvik/text/Language.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace talvik::shell {

class CProfileFiles {
public:
    // Restore opens a profile as Open does, in the backup folder.
    enum class EDialog { Save, Open, Restore };
    // Asks for a profile's path; empty when the user cancels.
    using AskForPath = std::function<QString(EDialog kind)>;
    enum class ESaved { Saved, Cancelled, Failed };

    // `warn` tells the user why a save failed.
    CProfileFiles(model::CAppState& state, std::function<void(const QString& text)> warn);

    void setAskForPath(AskForPath ask) { m_ask = std::move(ask); }

    // Asks for a path and saves the configuration there; a failure is told.
    ESaved save();
    // Asks for a profile and loads it into the configuration. None when the
    // user chose no file; otherwise what to tell the user about the load
    // (empty for a clean one), for the window to show once it has repainted.
    std::optional<QString> open(EDialog kind = EDialog::Open);

    // The platform's file dialog for profiles, over `parent`.
    static QString askWithDialog(QWidget* parent, EDialog kind, text::Language language);

private:
    model::CAppState& m_state;
    std::function<void(const QString&)> m_warn;
    AskForPath m_ask;
};

} // namespace talvik::shell
