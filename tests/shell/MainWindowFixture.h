#pragma once

#include "QtTestApp.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/COrsaDlg.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QStringList>

#include <memory>
#include <optional>

namespace talvik::test {

// A main window on the generated skin whose keyboard link always answers
// yes (or is `link`, when given), with the messages, questions and file
// dialogs it would show collected and answered from lists instead.
struct CMainWindowFixture {
    explicit CMainWindowFixture(int model, QSize screen = QSize(1920, 1080),
                                std::optional<talvik::shell::CKeyboardLink> link = {})
        : state(CDeviceEnvironment::withoutDevices()), app(state) {
        qtApp();
        state.modelNumber = model;
        QString error;
        loaded = app.loadSkin(model, error, builtSkinPath());
        state.buildNameTables();
        window = std::make_unique<talvik::shell::COrsaDlg>(app, state);
        window->setKeyboardLink(
            link ? *link
                 : talvik::shell::CKeyboardLink{
                       [] { return true; }, [] { return true; }, [this] { return present; }});
        window->setMessageSink([this](const QString& text) { messages << text; });
        window->setNoticeSink(
            [this](QMessageBox::Icon icon, const QString& caption, const QString& text) {
                notices << caption + QLatin1Char('|') + text;
                noticeIcons << icon;
            });
        window->setQuestionSink([this](const QString& caption, const QString& text) {
            questions << caption + QLatin1Char('|') + text;
            return answers.isEmpty() ? false : answers.takeFirst();
        });
        window->setFileDialogSink([this](talvik::shell::COrsaDlg::EFileDialog kind) {
            fileDialogs << kind;
            return paths.isEmpty() ? QString() : paths.takeFirst();
        });
        window->setUrlOpener([this](const QUrl& url) {
            opened << url;
            return openerWorks;
        });
        window->setTrayAvailable([this] { return trayAvailable; });
        initialised = loaded && window->initialise(screen);
    }

    talvik::shell::COrsaDlg& dlg() { return *window; }
    void setMode(int key, int level, model::KeyMode mode) {
        state.keyConfig.Mode[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)] = mode;
    }

    model::CAppState state;
    talvik::shell::COrsaApp app;
    std::unique_ptr<talvik::shell::COrsaDlg> window;
    QStringList messages; // plain messages without caption
    QStringList notices;  // "caption|text"
    QList<QMessageBox::Icon> noticeIcons;
    QStringList questions; // "caption|text"
    QList<bool> answers;   // the answers to give, in order; No when they run out
    QList<talvik::shell::COrsaDlg::EFileDialog> fileDialogs;
    QStringList paths; // what the file dialogs return, in order; cancelled when they run out
    QList<QUrl> opened;
    bool openerWorks = true;
    bool trayAvailable = false;
    bool present = true;
    bool loaded = false;
    bool initialised = false;
};

// A left-button release on element `slot` of the fixture's window, as the
// window system delivers it.
inline void clickElement(CMainWindowFixture& f, int slot) {
    const layout::SkinRect r = f.dlg().elements()[static_cast<std::size_t>(slot)].rect;
    const QPointF at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    QMouseEvent release(QEvent::MouseButtonRelease, at, f.dlg().mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&f.dlg(), &release);
}

} // namespace talvik::test
