#pragma once

#include "QtTestApp.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include <QStringList>

#include <memory>

namespace talvik::test {

// A main window on the generated skin whose keyboard link always answers
// yes, with the messages it would show collected instead.
struct CMainWindowFixture {
    explicit CMainWindowFixture(int model, QSize screen = QSize(1920, 1080))
        : state(CDeviceEnvironment::withoutDevices()), app(state) {
        qtApp();
        state.modelNumber = model;
        QString error;
        loaded = app.loadSkin(model, error, builtSkinPath());
        state.buildNameTables();
        window = std::make_unique<talvik::shell::COrsaDlg>(app, state);
        window->setKeyboardLink(
            {[] { return true; }, [] { return true; }, [this] { return present; }});
        window->setMessageSink([this](const QString& text) { messages << text; });
        initialised = loaded && window->initialise(screen);
    }

    talvik::shell::COrsaDlg& dlg() { return *window; }
    void setMode(int key, int level, KeyMode mode) {
        state.keyConfig.Mode[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)] = mode;
    }

    CAppState state;
    talvik::shell::COrsaApp app;
    std::unique_ptr<talvik::shell::COrsaDlg> window;
    QStringList messages;
    bool present = true;
    bool loaded = false;
    bool initialised = false;
};

} // namespace talvik::test
