#pragma once

// The questions and messages the device dialogs put to the user. Each dialog
// takes a set; tests replace single members to answer for the user.

#include "talvik/backup/CBackupJob.h"
#include "talvik/text/Language.h"

#include <QColor>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace talvik::device {

struct CDevicePrompts {
    // A plain message box: no caption of its own, an OK button.
    std::function<void(const QString& text)> message;
    // A warning box with a caption.
    std::function<void(const QString& caption, const QString& text)> warning;
    // A question with Yes and No (the default): true for Yes.
    std::function<bool(const QString& caption, const QString& text)> question;
    // The colour dialog with its full panel, starting at `initial`; nothing
    // when the user cancels it.
    std::function<std::optional<QColor>(QColor initial)> pickColor;
    // The file dialog for opening a firmware image: the chosen path, or an
    // empty text when the user cancels it.
    std::function<QString()> openFirmware;

    // The real dialogs, over `parent`.
    static CDevicePrompts interactive(QWidget* parent);
};

// After a backup before a write that could not be made: says why and asks the
// one question, whether to write without a backup. True for Yes.
bool askToWriteWithoutBackup(const CDevicePrompts& prompts, const backup::SBackupResult& result,
                             const std::string& folder, text::Language language);

} // namespace talvik::device
