#include "XDriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDir>
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

namespace {

// What of the pointer's doings the application has been handed, so that a
// test knows when what it did through the X server has arrived.
class CPointerWatch : public QObject {
public:
    static CPointerWatch& instance() {
        static CPointerWatch* watch = [] {
            auto* created = new CPointerWatch(qApp);
            qApp->installEventFilter(created);
            return created;
        }();
        return *watch;
    }

    int releases = 0;
    int leaves = 0;
    QPoint lastPosition{-1, -1};

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonRelease:
            ++releases;
            [[fallthrough]];
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::Enter:
            lastPosition =
                static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint();
            break;
        case QEvent::Leave:
            ++leaves;
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    using QObject::QObject;
};

// A window of this program at `global` that takes pointer events now: not
// hidden behind nothing and not blocked by a modal dialog.
bool takesPointerAt(QPoint global) {
    QWidget* widget = QApplication::widgetAt(global);
    if (widget == nullptr) {
        return false;
    }
    QWidget* modal = QApplication::activeModalWidget();
    return modal == nullptr || modal == widget->window() || modal->isAncestorOf(widget);
}

} // namespace

void pointAt(QPoint global) {
    CPointerWatch& watch = CPointerWatch::instance();
    const QPoint from = QCursor::pos();
    const bool leaving = takesPointerAt(from);
    const int leaves = watch.leaves;
    // "mousemove --sync" to where the pointer already is would wait for a
    // movement that never comes.
    if (from == global) {
        return;
    }
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QString::number(global.x()),
             QString::number(global.y())});
    // Hover outlines follow the events, not the server's pointer: wait until
    // the program has seen the move (or, off its windows, that it was left).
    if (takesPointerAt(global)) {
        waitFor([&] { return watch.lastPosition == global; });
    } else if (leaving) {
        waitFor([&] { return watch.leaves > leaves; });
    }
}

void clickAt(QPoint global) {
    pointAt(global);
    CPointerWatch& watch = CPointerWatch::instance();
    const int releases = watch.releases;
    const bool delivered = takesPointerAt(global);
    xdotool({QStringLiteral("click"), QStringLiteral("1")});
    // Returns once the program has the click (a modal dialog it opens runs
    // inside this wait); a click on nothing of ours is not waited for.
    if (delivered) {
        waitFor([&] { return watch.releases > releases; });
    }
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

QImage grabScreen(QWidget& window) {
    // Every window paints what it has to show now; the grab goes to the X
    // server on the same connection as those pictures, so it sees them.
    QCoreApplication::processEvents();
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible()) {
            top->repaint();
        }
    }
    QCoreApplication::processEvents();
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
