#include "talvik/shell/SkinAccessible.h"

#include "talvik/shell/CSkinWindow.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QTimer>

#include <map>
#include <optional>
#include <vector>

namespace talvik::shell {
namespace {

// A part of a skinned window that has no QObject of its own (an element,
// the bar): it is registered with Qt's accessibility cache under an id that
// its window's interface keeps, and answers for as long as the window exists.
// It has no children.
class CWindowPartAccessible : public QAccessibleInterface {
public:
    explicit CWindowPartAccessible(CSkinWindow* window) : m_window(window) {}

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

protected:
    QPointer<CSkinWindow> m_window;
};

// One element of a skinned window.
class CElementAccessible : public CWindowPartAccessible, public QAccessibleActionInterface {
public:
    CElementAccessible(CSkinWindow* window, int index)
        : CWindowPartAccessible(window), m_index(index) {}

    bool isValid() const override {
        return m_window != nullptr && m_index < static_cast<int>(m_window->elements().size());
    }

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
        state.focused = m_window->hasFocus() && m_window->focusedElement() == m_index;
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
    int m_index;
};

// The bar a window paints to show how far a job has come.
class CMeterAccessible : public CWindowPartAccessible, public QAccessibleValueInterface {
public:
    explicit CMeterAccessible(CSkinWindow* window) : CWindowPartAccessible(window) {}

    bool isValid() const override { return m_window != nullptr && m_window->meterAccess(); }

    QString text(QAccessible::Text t) const override {
        const std::optional<SMeterAccess> meter = access();
        if (!meter) {
            return {};
        }
        switch (t) {
        case QAccessible::Name:
            return meter->name;
        case QAccessible::Description:
            return meter->description;
        case QAccessible::Value:
            return QStringLiteral("%1%").arg(meter->percent);
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const std::optional<SMeterAccess> meter = access();
        if (!meter) {
            return {};
        }
        return QRect(m_window->mapToGlobal(meter->rect.topLeft()), meter->rect.size());
    }
    QAccessible::Role role() const override { return QAccessible::ProgressBar; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invalid = !isValid();
        state.readOnly = true;
        state.invisible = state.invalid || !m_window->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                   : nullptr;
    }
    QVariant currentValue() const override {
        const std::optional<SMeterAccess> meter = access();
        return meter ? meter->percent : 0;
    }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    std::optional<SMeterAccess> access() const {
        return m_window == nullptr ? std::nullopt : m_window->meterAccess();
    }
};

// The window: its elements first, in table order, its bar if it has one,
// then its child widgets.
class CSkinWindowAccessible : public QAccessibleWidget {
public:
    explicit CSkinWindowAccessible(CSkinWindow* window)
        : QAccessibleWidget(window, QAccessible::Dialog) {}
    ~CSkinWindowAccessible() override {
        for (const auto& [index, id] : m_ids) {
            QAccessible::deleteAccessibleInterface(id);
        }
        if (m_meterId) {
            QAccessible::deleteAccessibleInterface(*m_meterId);
        }
    }

    int childCount() const override { return ownChildCount() + QAccessibleWidget::childCount(); }
    QAccessibleInterface* child(int index) const override {
        const std::vector<int> elements = exposed();
        const int count = static_cast<int>(elements.size());
        if (index < 0) {
            return nullptr;
        }
        if (index < count) {
            return elementInterface(elements[static_cast<std::size_t>(index)]);
        }
        if (index == count && skinWindow()->meterAccess()) {
            return meterInterface();
        }
        return QAccessibleWidget::child(index - ownChildCount());
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<int> elements = exposed();
        for (std::size_t i = 0; i < elements.size(); ++i) {
            const auto found = m_ids.find(elements[i]);
            if (found != m_ids.end() && QAccessible::accessibleInterface(found->second) == child) {
                return static_cast<int>(i);
            }
        }
        if (m_meterId && skinWindow()->meterAccess() &&
            QAccessible::accessibleInterface(*m_meterId) == child) {
            return static_cast<int>(elements.size());
        }
        const int widget = QAccessibleWidget::indexOfChild(child);
        return widget < 0 ? -1 : widget + ownChildCount();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint local = skinWindow()->mapFromGlobal(QPoint(x, y));
        const int hit = skinWindow()->hitTest(local);
        if (hit >= 0 && skinWindow()->accessOf(hit).role != QAccessible::NoRole) {
            return elementInterface(hit);
        }
        return QAccessibleWidget::childAt(x, y);
    }

    QAccessibleInterface* focusChild() const override {
        CSkinWindow* window = skinWindow();
        const int focused = window->focusedElement();
        if (window->hasFocus() && focused >= 0 &&
            focused < static_cast<int>(window->elements().size()) &&
            window->accessOf(focused).role != QAccessible::NoRole) {
            return elementInterface(focused);
        }
        return QAccessibleWidget::focusChild();
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

    // The bar's interface, made on first use.
    QAccessibleInterface* meterInterface() const {
        if (!m_meterId) {
            m_meterId =
                QAccessible::registerAccessibleInterface(new CMeterAccessible(skinWindow()));
        }
        return QAccessible::accessibleInterface(*m_meterId);
    }

private:
    CSkinWindow* skinWindow() const { return static_cast<CSkinWindow*>(widget()); }
    // The elements and the bar.
    int ownChildCount() const {
        return static_cast<int>(exposed().size()) + (skinWindow()->meterAccess() ? 1 : 0);
    }
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
    mutable std::optional<QAccessible::Id> m_meterId;
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

namespace {

// The window's interface when a screen reader listens, else null.
CSkinWindowAccessible* listenedTo(CSkinWindow& window) {
    if (!QAccessible::isActive()) {
        return nullptr;
    }
    return dynamic_cast<CSkinWindowAccessible*>(QAccessible::queryAccessibleInterface(&window));
}

// Element `index`'s interface in `windowInterface`, where it is in the
// accessible tree.
QAccessibleInterface* exposedElement(CSkinWindowAccessible& windowInterface, CSkinWindow& window,
                                     int index) {
    if (index < 0 || index >= static_cast<int>(window.elements().size()) ||
        window.accessOf(index).role == QAccessible::NoRole) {
        return nullptr;
    }
    return windowInterface.elementInterface(index);
}

// Sends `type` for element `index` of `window`, when a screen reader listens.
void announceElement(CSkinWindow& window, int index, QAccessible::Event type) {
    if (CSkinWindowAccessible* windowInterface = listenedTo(window)) {
        if (QAccessibleInterface* element = exposedElement(*windowInterface, window, index)) {
            QAccessibleEvent event(element, type);
            QAccessible::updateAccessibility(&event);
        }
    }
}

} // namespace

void announceNamesChanged(CSkinWindow& window) {
    CSkinWindowAccessible* windowInterface = listenedTo(window);
    if (windowInterface == nullptr) {
        return;
    }
    const int count = static_cast<int>(window.elements().size());
    for (int i = 0; i < count; ++i) {
        if (QAccessibleInterface* element = exposedElement(*windowInterface, window, i)) {
            QAccessibleEvent changed(element, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
    }
}

void announceFocus(CSkinWindow& window, int index) {
    announceElement(window, index, QAccessible::Focus);
}

void announceMeterChanged(CSkinWindow& window) {
    CSkinWindowAccessible* windowInterface = listenedTo(window);
    if (windowInterface == nullptr || !window.meterAccess()) {
        return;
    }
    QAccessibleValueChangeEvent changed(windowInterface->meterInterface(),
                                        window.meterAccess()->percent);
    QAccessible::updateAccessibility(&changed);
}

void announceCheckedChanged(CSkinWindow& window, int index) {
    CSkinWindowAccessible* windowInterface = listenedTo(window);
    if (windowInterface == nullptr) {
        return;
    }
    if (QAccessibleInterface* element = exposedElement(*windowInterface, window, index)) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(element, changed);
        QAccessible::updateAccessibility(&event);
    }
}

} // namespace talvik::shell
