#pragma once

#include "QtTestApp.h"

// Drives windows on the test's X server the way a user does: pointer moves,
// clicks and typing go through the X server (xdotool), so the program sees
// real events. Modal dialogs run their own event loop inside the click that
// opened them; a CModalScript acts on them from within that loop.

#include "talvik/layout/SkinLayout.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>

namespace talvik::test {

void xdotool(const QStringList& arguments);
void pointAt(QPoint global);
void clickAt(QPoint global);
// The centre of a widget, or of rectangle `r` in its coordinates.
QPoint centreOf(const QWidget& widget);
QPoint centreOf(const QWidget& window, const talvik::layout::SkinRect& r);
void clickWidget(const QWidget& widget);
// Types text into whatever has the keyboard focus, then optionally presses Return.
void typeText(const QString& text);
void pressKey(const char* keysym);

// What the screen shows of a window now.
QImage grabScreen(QWidget& window);

// Saves `image` as `name` in TALVIK_SCREENSHOT_DIR, when that is set.
void saveShot(const QImage& image, const QString& name);

// Acts on the modal dialogs that come up, one step per dialog, in order. A
// step looks at the active modal window and returns false when it is not the
// one it waits for (yet).
class CModalScript {
public:
    using Step = std::function<bool(QWidget& modal)>;

    CModalScript();
    ~CModalScript();

    CModalScript& then(const QString& what, Step step);
    // Answers a message box with the button of `which` (QMessageBox::StandardButton)
    // and records its text.
    CModalScript& answer(int which, QStringList* seenTexts = nullptr);
    // Types a path into a file dialog and accepts it.
    CModalScript& choosePath(const QString& path);

    bool finished() const { return m_steps.empty(); }
    // The step still waited for, for failure messages.
    QString pending() const;

private:
    void poll();

    struct SStep {
        QString what;
        Step act;
    };
    std::deque<SStep> m_steps;
    QPointer<QWidget> m_lastActedOn;
    QTimer m_timer;
};

} // namespace talvik::test
