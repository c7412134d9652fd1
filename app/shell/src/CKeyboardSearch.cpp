#include "talvik/shell/CKeyboardSearch.h"

#include "talvik/shell/COrsaDialogWaitKeyboard.h"
#include "talvik/shell/SkinProblem.h"

#include <QMessageBox>
#include <QTimer>

namespace talvik::shell {

CKeyboardSearch::CKeyboardSearch(COrsaApp& app, const CStartupHooks& hooks)
    : m_app(app), m_hooks(hooks) {}

CKeyboardSearch::~CKeyboardSearch() = default;

int CKeyboardSearch::run() {
    const auto sleep = [this](int ms) { m_hooks.sleep ? m_hooks.sleep(ms) : wait(ms); };
    const int model =
        detectModel(m_hooks.detect, sleep, [this](int retry) { return beforeRetry(retry); });
    m_window.reset();
    return m_quit ? 0 : model;
}

bool CKeyboardSearch::beforeRetry(int retry) {
    if (!m_windowTried) {
        m_windowTried = true;
        openWindow();
    }
    if (m_window) {
        m_window->setAttempt(retry + 1, COrsaApp::kDetectRetries + 1);
    }
    return !m_quit;
}

void CKeyboardSearch::openWindow() {
    // Without its skin the search goes on unseen; start-up reports the skin
    // once the search is over.
    QString error;
    if (!m_app.registerSkin(error, m_hooks.resourcePath)) {
        return;
    }
    auto window = std::make_unique<COrsaDialogWaitKeyboard>(m_app);
    window->setQuitSink([this] {
        m_quit = true;
        if (m_waiting != nullptr) {
            m_waiting->quit();
        }
    });
    if (m_hooks.prepareWait) {
        m_hooks.prepareWait(*window);
    }
    if (!window->initialise()) {
        // Nobody has chosen a language yet: the window would have spoken both.
        using enum text::Language;
        QMessageBox::warning(nullptr, QStringLiteral("Talvik"),
                             skinProblemText(ESkinWindow::WaitKeyboard, Chinese) +
                                 QStringLiteral("\n\n") +
                                 skinProblemText(ESkinWindow::WaitKeyboard, English));
        return;
    }
    window->show();
    m_window = std::move(window);
}

void CKeyboardSearch::wait(int ms) {
    if (m_quit) {
        return;
    }
    QEventLoop loop;
    m_waiting = &loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    m_waiting = nullptr;
}

} // namespace talvik::shell
