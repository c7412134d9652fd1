#include "talvik/shell/SkinAccessible.h"

#include "talvik/shell/CSkinWindow.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QTimer>

#include <map>
#include <vector>

namespace talvik::shell {
namespace {

// One element of a skinned window. It has no QObject of its own: it is
// registered with Qt's accessibility cache under an id that its window's
// interface keeps, and answers for as long as the window exists.
class CElementAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CElementAccessible(CSkinWindow* window, int index) : m_window(window), m_index(index) {}

    bool isValid() const override {
        return m_window != nullptr && m_index < static_cast<int>(m_window->elements().size());
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return m_window == nullptr ? nullptr : m_window->windowHandle();
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(m_window.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        if (!isValid()) {
            return {};
        }
        const SElementAccess access = m_window->accessOf(m_index);
        switch (t) {
        case QAccessible::Name:
            return access.name;
        case QAccessible::Description:
            return access.description;
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) {
            return {};
        }
        const QRect local = m_window->elementRect(m_index);
        return QRect(m_window->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override {
        return isValid() ? m_window->accessOf(m_index).role : QAccessible::NoRole;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const SElementAccess access = m_window->accessOf(m_index);
        const bool shown = m_window->elementShown(m_index);
        state.invisible = !shown || !m_window->isVisible();
        state.offscreen = state.invisible;
        state.disabled = !shown;
        state.focusable = shown;
        state.checkable = access.checkable;
        state.checked = access.checked;
        state.pressed = m_window->elements()[static_cast<std::size_t>(m_index)].active &&
                        !access.checkable && access.role == QAccessible::Button;
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name != pressAction() || !isValid()) {
            return;
        }
        // After the call has been answered: the press may open a modal
        // dialog, whose loop must not run inside the screen reader's call.
        QPointer<CSkinWindow> window = m_window;
        const int index = m_index;
        QTimer::singleShot(0, window.data(), [window, index] {
            if (window != nullptr) {
                window->pressFromAccessibility(index);
            }
        });
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<CSkinWindow> m_window;
    int m_index;
};

// The window: its elements first, in table order, then its child widgets.
class CSkinWindowAccessible : public QAccessibleWidget {
public:
    explicit CSkinWindowAccessible(CSkinWindow* window)
        : QAccessibleWidget(window, QAccessible::Dialog) {}
    ~CSkinWindowAccessible() override {
        for (const auto& [index, id] : m_ids) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override {
        return static_cast<int>(exposed().size()) + QAccessibleWidget::childCount();
    }
    QAccessibleInterface* child(int index) const override {
        const std::vector<int> elements = exposed();
        if (index < 0) {
            return nullptr;
        }
        if (index < static_cast<int>(elements.size())) {
            return elementInterface(elements[static_cast<std::size_t>(index)]);
        }
        return QAccessibleWidget::child(index - static_cast<int>(elements.size()));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<int> elements = exposed();
        for (std::size_t i = 0; i < elements.size(); ++i) {
            const auto found = m_ids.find(elements[i]);
            if (found != m_ids.end() && QAccessible::accessibleInterface(found->second) == child) {
                return static_cast<int>(i);
            }
        }
        const int widget = QAccessibleWidget::indexOfChild(child);
        return widget < 0 ? -1 : widget + static_cast<int>(elements.size());
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint local = skinWindow()->mapFromGlobal(QPoint(x, y));
        const int hit = skinWindow()->hitTest(local);
        if (hit >= 0 && skinWindow()->accessOf(hit).role != QAccessible::NoRole) {
            return elementInterface(hit);
        }
        return QAccessibleWidget::childAt(x, y);
    }

    // The interface of element `index`, made on first use.
    QAccessibleInterface* elementInterface(int index) const {
        if (const auto found = m_ids.find(index); found != m_ids.end()) {
            return QAccessible::accessibleInterface(found->second);
        }
        auto* element = new CElementAccessible(skinWindow(), index);
        m_ids.emplace(index, QAccessible::registerAccessibleInterface(element));
        return element;
    }

private:
    CSkinWindow* skinWindow() const { return static_cast<CSkinWindow*>(widget()); }
    std::vector<int> exposed() const {
        std::vector<int> indexes;
        const int count = static_cast<int>(skinWindow()->elements().size());
        for (int i = 0; i < count; ++i) {
            if (skinWindow()->accessOf(i).role != QAccessible::NoRole) {
                indexes.push_back(i);
            }
        }
        return indexes;
    }

    mutable std::map<int, QAccessible::Id> m_ids;
};

QAccessibleInterface* skinFactory(const QString& className, QObject* object) {
    (void)className;
    if (auto* window = dynamic_cast<CSkinWindow*>(object)) {
        return new CSkinWindowAccessible(window);
    }
    return nullptr;
}

} // namespace

void installSkinAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(skinFactory);
        return true;
    }();
    (void)installed;
}

void announceNamesChanged(CSkinWindow& window) {
    if (!QAccessible::isActive()) {
        return;
    }
    auto* windowInterface =
        dynamic_cast<CSkinWindowAccessible*>(QAccessible::queryAccessibleInterface(&window));
    if (windowInterface == nullptr) {
        return;
    }
    const int count = static_cast<int>(window.elements().size());
    for (int i = 0; i < count; ++i) {
        if (window.accessOf(i).role != QAccessible::NoRole) {
            QAccessibleEvent changed(windowInterface->elementInterface(i),
                                     QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
    }
}

} // namespace talvik::shell
