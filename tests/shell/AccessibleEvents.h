#pragma once

// Records what Qt tells assistive technology, as a screen reader would hear
// it: each event's kind and the name of the object it is about. While a
// recorder lives, accessibility counts as active (as it does when a screen
// reader listens), so that Qt passes the program's events on at all.

#include <QAccessible>
#include <QGuiApplication>
#include <QString>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <utility>
#include <vector>

namespace talvik::test {

class CAccessibleEvents {
public:
    struct SHeard {
        QAccessible::Event type;
        QString name;
        QAccessible::Role role;
        QVariant value; // for a value change
    };

    CAccessibleEvents() {
        s_current = this;
        m_before = QAccessible::installUpdateHandler(&CAccessibleEvents::record);
        setActive(true);
    }
    ~CAccessibleEvents() {
        setActive(false);
        QAccessible::installUpdateHandler(m_before);
        s_current = nullptr;
    }
    CAccessibleEvents(const CAccessibleEvents&) = delete;
    CAccessibleEvents& operator=(const CAccessibleEvents&) = delete;

    std::vector<SHeard> heard;

    // The names of the events of `type`, in order.
    std::vector<QString> namesOf(QAccessible::Event type) const {
        std::vector<QString> names;
        for (const SHeard& h : heard) {
            if (h.type == type) {
                names.push_back(h.name);
            }
        }
        return names;
    }
    void clear() { heard.clear(); }

private:
    static void setActive(bool active) {
        if (QPlatformAccessibility* platform =
                QGuiApplicationPrivate::platformIntegration()->accessibility()) {
            platform->setActive(active);
        }
    }
    static void record(QAccessibleEvent* event) {
        if (s_current == nullptr) {
            return;
        }
        QAccessibleInterface* about = event->accessibleInterface();
        SHeard h{event->type(),
                 about == nullptr ? QString() : about->text(QAccessible::Name),
                 about == nullptr ? QAccessible::NoRole : about->role(),
                 {}};
        if (event->type() == QAccessible::ValueChanged) {
            h.value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
        }
        s_current->heard.push_back(std::move(h));
    }

    static inline CAccessibleEvents* s_current = nullptr;
    QAccessible::UpdateHandler m_before = nullptr;
};

} // namespace talvik::test
