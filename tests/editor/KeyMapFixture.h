#pragma once

#include "shell/QtTestApp.h"

#include "talvik/editor/COrsaDialogKeyMapSettings.h"
#include "talvik/hwi/KeyboardHook.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"

#include "talvik/layout/KeySettingsLayout.h"

#include <QCoreApplication>
#include <QStringList>

#include <memory>
#include <ostream>

namespace talvik::keymap {
inline void PrintTo(KeyMapPage page, std::ostream* os) {
    *os << "page " << static_cast<int>(page);
}
} // namespace talvik::keymap

using talvik::keymap::KeyMapPage;

namespace talvik::test {

namespace keymap = talvik::layout::keymap_id;
using talvik::text::Language;

// A key settings dialog on the generated skin for one key and layer of a
// freshly reset model. No X server: a capture cannot take the desktop
// keyboard, and the keys of a test arrive as posted hook messages.
struct CKeyMapFixture {
    // `screen` is the size of the screen the dialog opens on; a large one
    // gives pictures drawn at resolution 2.
    explicit CKeyMapFixture(int model = 1, QSize screen = QSize(1920, 1080))
        : state(CDeviceEnvironment::withoutDevices()), app(state), screen(screen) {
        qunsetenv("DISPLAY");
        qtApp();
        state.modelNumber = model;
        QString error;
        loaded = app.loadSkin(model, error, builtSkinPath(), screen.height() > 1080 ? 2 : 1);
        state.buildNameTables();
        state.resetToDefaults();
        state.language = Language::English;
    }

    talvik::editor::COrsaDialogKeyMapSettings& open(int key = 43, int level = 0) {
        state.editKey = key;
        state.editLevel = level;
        dialog = std::make_unique<talvik::editor::COrsaDialogKeyMapSettings>(app, state);
        dialog->setMessageSink([this](const QString& text) { messages << text; });
        dialog->setVirtualKeyboard([this](int mode) { return virtualKeyboard(mode); });
        initialised = dialog->initialise(screen);
        return *dialog;
    }
    talvik::editor::COrsaDialogKeyMapSettings& dlg() { return *dialog; }

    // A click on the first element with `id`, once its double-click guard has passed.
    void click(int id) { dialog->dispatchClick(dialog->indexOfId(id)); }
    SkinElement& element(int id) { return dialog->element(id); }

    // A keystroke as the hook posts it.
    void post(WPARAM wParam, LPARAM lParam = 0) {
        PostMessageW(dialog->handle(), WM_TALVIK_HOOKKEY, wParam, lParam);
        QCoreApplication::sendPostedEvents();
    }
    void press(int vk) { post(static_cast<WPARAM>(vk)); }
    void release(int vk) { post(static_cast<WPARAM>(vk) | HOOKKEY_RELEASED); }
    void tap(int vk) {
        press(vk);
        release(vk);
    }

    model::KeyMode mode(int key, int level) const {
        return state.keyConfig.Mode[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)];
    }
    int code(int key, int level) const {
        return state.keyConfig
            .HWCode[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)];
    }
    const model::CActionList& list(int key, int level) const {
        return state.keyConfig
            .ComboKey[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)];
    }

    // A combo library of named entries, the entry k holding the single key `keys[k]`.
    void fillComboLibrary(const std::vector<std::pair<std::string, std::string>>& entries) {
        model::CActionList& library = state.keyConfig.PredefinedCombo;
        for (const auto& [name, key] : entries) {
            library.append(name);
            model::CActionList content(6);
            content.append(key);
            library.setChildAtRow(library.CursorPos, content);
        }
        library.setCursor(0);
    }

    model::CAppState state;
    talvik::shell::COrsaApp app;
    QSize screen;
    std::unique_ptr<talvik::editor::COrsaDialogKeyMapSettings> dialog;
    QStringList messages;
    std::function<bool(int)> virtualKeyboard = [](int) { return false; };
    bool loaded = false;
    bool initialised = false;
};

} // namespace talvik::test
