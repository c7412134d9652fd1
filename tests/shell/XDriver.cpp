#include "XDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace talvik::test {

void xdotool(const QStringList& arguments) {
    EXPECT_EQ(QProcess::execute(QStringLiteral("xdotool"), arguments), 0)
        << "xdotool " << arguments.join(QLatin1Char(' ')).toStdString();
}

void pointAt(QPoint global) {
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()),
             QString::number(global.y())});
}

void clickAt(QPoint global) {
    pointAt(global);
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
}

QPoint centreOf(const QWidget& widget) {
    return widget.mapToGlobal(widget.rect().center());
}

QPoint centreOf(const QWidget& window, const talvik::layout::SkinRect& r) {
    return window.mapToGlobal(QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

void clickWidget(const QWidget& widget) {
    clickAt(centreOf(widget));
}

void typeText(const QString& text) {
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("8"), text});
}

void pressKey(const char* keysym) {
    xdotool({QStringLiteral("key"), QString::fromLatin1(keysym)});
}

bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) {
        QTest::qWait(20);
    }
    return done();
}

QImage grabScreen(QWidget& window) {
    QTest::qWait(150); // let the server apply the last repaint
    return window.screen()
        ->grabWindow(0, window.x(), window.y(), window.width(), window.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

void saveShot(const QImage& image, const QString& name) {
    const QString dir = qEnvironmentVariable("TALVIK_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        image.save(dir + QLatin1Char('/') + name);
    }
}

CModalScript::CModalScript() {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start(50);
}

CModalScript::~CModalScript() = default;

CModalScript& CModalScript::then(const QString& what, Step step) {
    m_steps.push_back({what, std::move(step)});
    return *this;
}

CModalScript& CModalScript::answer(int which, QStringList* seenTexts) {
    return then(QStringLiteral("message box button %1").arg(which), [which, seenTexts](QWidget& w) {
        auto* box = qobject_cast<QMessageBox*>(&w);
        QAbstractButton* button =
            box == nullptr ? nullptr : box->button(static_cast<QMessageBox::StandardButton>(which));
        if (button == nullptr) {
            return false;
        }
        if (seenTexts != nullptr) {
            *seenTexts << box->text();
        }
        clickWidget(*button);
        return true;
    });
}

CModalScript& CModalScript::choosePath(const QString& path) {
    return then(QStringLiteral("file dialog for %1").arg(path), [path](QWidget& w) {
        auto* dialog = qobject_cast<QFileDialog*>(&w);
        auto* edit = dialog == nullptr
                         ? nullptr
                         : dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit == nullptr || !edit->isVisible()) {
            return false;
        }
        clickWidget(*edit);
        typeText(path);
        pressKey("Return");
        return true;
    });
}

QString CModalScript::pending() const {
    return m_steps.empty() ? QString() : m_steps.front().what;
}

void CModalScript::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (m_steps.empty() || modal == nullptr || modal == m_lastActedOn) {
        return;
    }
    const QWindow* window = modal->windowHandle();
    if (window == nullptr || !window->isExposed()) {
        return;
    }
    // The step runs X requests and waits for them; no second poll may start
    // inside it.
    m_timer.stop();
    if (m_steps.front().act(*modal)) {
        m_lastActedOn = modal;
        m_steps.pop_front();
    }
    m_timer.start();
}

} // namespace talvik::test
