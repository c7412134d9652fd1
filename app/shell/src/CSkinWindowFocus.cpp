// Keyboard operation of a skinned window: the chain Tab walks, the arrow
// keys, Enter and Space, and the ring on the focused element.

#include "talvik/shell/CSkinWindow.h"

#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/UiScale.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPen>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace talvik::shell {
namespace {

std::optional<EFocusDirection> arrowDirection(const QKeyEvent& event) {
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return std::nullopt;
    }
    switch (event.key()) {
    case Qt::Key_Left:
        return EFocusDirection::Left;
    case Qt::Key_Right:
        return EFocusDirection::Right;
    case Qt::Key_Up:
        return EFocusDirection::Up;
    case Qt::Key_Down:
        return EFocusDirection::Down;
    default:
        return std::nullopt;
    }
}

bool isActivationKey(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier) {
        return false;
    }
    return event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter ||
           event.key() == Qt::Key_Space;
}

} // namespace

bool CSkinWindow::isFocusCandidate(int index) const {
    if (index < 0 || index >= static_cast<int>(m_elements.size())) {
        return false;
    }
    const SkinElement& e = m_elements[static_cast<std::size_t>(index)];
    // An element no click can reach is no place for the focus either: one
    // of no size, or one whose middle a child widget covers.
    if (!e.isHitTestable() || !isShown(e) || e.rect.width() <= 0 || e.rect.height() <= 0) {
        return false;
    }
    const QPoint middle = windowRect(e).center();
    for (const QObject* child : children()) {
        const auto* widget = qobject_cast<const QWidget*>(child);
        if (widget != nullptr && !widget->isWindow() && widget->isVisibleTo(this) &&
            widget->geometry().contains(middle)) {
            return false;
        }
    }
    return true;
}

bool CSkinWindow::childHoldsFocus() const {
    const QWidget* held = focusWidget();
    return held != nullptr && held != this && held->isVisibleTo(this) && held->isEnabled();
}

bool CSkinWindow::focusRingShown() const {
    return m_ringShown && isFocusCandidate(m_focus) && !childHoldsFocus();
}

int CSkinWindow::groupEntry(int group, std::span<const int> members) const {
    const auto last = m_groupFocus.find(group);
    if (last != m_groupFocus.end() &&
        std::find(members.begin(), members.end(), last->second) != members.end()) {
        return last->second;
    }
    return members.front();
}

std::vector<CSkinWindow::SPlacedStop> CSkinWindow::focusCandidates() const {
    std::vector<SPlacedStop> stops;
    std::map<int, std::vector<int>> groups;
    for (int i = 0; i < static_cast<int>(m_elements.size()); ++i) {
        if (!isFocusCandidate(i)) {
            continue;
        }
        const SkinElement& e = m_elements[static_cast<std::size_t>(i)];
        if (const int group = focusGroup(e); group != 0) {
            groups[group].push_back(i);
        } else {
            stops.push_back({{i, nullptr}, windowRect(e)});
        }
    }
    for (const auto& [group, members] : groups) {
        std::vector<QRect> places;
        for (const int member : members) {
            places.push_back(windowRect(m_elements[static_cast<std::size_t>(member)]));
        }
        const std::vector<std::size_t> order = readingOrder(places);
        std::vector<int> ordered;
        for (const std::size_t at : order) {
            ordered.push_back(members[at]);
        }
        // A group stands in the order where its first member does.
        stops.push_back({{groupEntry(group, ordered), nullptr}, places[order.front()]});
    }
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget == nullptr || widget->isWindow() || !widget->isVisibleTo(this) ||
            !widget->isEnabled() || (widget->focusPolicy() & Qt::TabFocus) != Qt::TabFocus) {
            continue;
        }
        stops.push_back({{-1, widget}, widget->geometry()});
    }
    return stops;
}

std::vector<CSkinWindow::SFocusStop>
CSkinWindow::inReadingOrder(const std::vector<SPlacedStop>& stops) {
    std::vector<QRect> places;
    places.reserve(stops.size());
    for (const SPlacedStop& s : stops) {
        places.push_back(s.place);
    }
    std::vector<SFocusStop> chain;
    chain.reserve(stops.size());
    for (const std::size_t at : readingOrder(places)) {
        chain.push_back(stops[at].stop);
    }
    return chain;
}

std::vector<CSkinWindow::SFocusStop> CSkinWindow::focusChain() const {
    return inReadingOrder(focusCandidates());
}

void CSkinWindow::updateRingOf(int index) {
    if (index < 0 || index >= static_cast<int>(m_elements.size())) {
        return;
    }
    const int reach =
        static_cast<int>(std::ceil(
            static_cast<float>(kFocusRingGap + kFocusRingWidth + kFocusHaloWidth) * m_scale)) +
        1;
    update(windowRect(m_elements[static_cast<std::size_t>(index)])
               .adjusted(-reach, -reach, reach, reach));
}

void CSkinWindow::focusElement(int index, bool ring) {
    if (!isFocusCandidate(index)) {
        return;
    }
    if (ring) {
        moveFocusTo({index, nullptr}, Qt::OtherFocusReason);
        return;
    }
    const bool wasShown = focusRingShown();
    const int before = m_focus;
    m_focus = index;
    m_ringShown = false;
    m_arrowLine.reset();
    if (const int group = focusGroup(m_elements[static_cast<std::size_t>(index)]); group != 0) {
        m_groupFocus[group] = index;
    }
    if (wasShown) {
        updateRingOf(before);
    }
    if (before != index) {
        announceFocus(*this, index);
    }
}

void CSkinWindow::noteClick(int index) {
    if (isFocusCandidate(index)) {
        focusElement(index, false);
    } else if (m_ringShown) {
        // A click beside the elements hides the ring too; the focus stays.
        m_ringShown = false;
        updateRingOf(m_focus);
    }
}

void CSkinWindow::moveFocusTo(const SFocusStop& stop, Qt::FocusReason reason) {
    const int before = m_focus;
    m_ringShown = true;
    m_arrowLine.reset();
    if (stop.widget != nullptr) {
        m_focus = -1;
        updateRingOf(before);
        stop.widget->setFocus(reason);
        return;
    }
    m_focus = stop.element;
    if (const int group = focusGroup(m_elements[static_cast<std::size_t>(m_focus)]); group != 0) {
        m_groupFocus[group] = m_focus;
    }
    // Keys must come here again, not to the child widget Tab leaves.
    if (focusWidget() != this) {
        setFocus(reason);
    }
    updateRingOf(before);
    updateRingOf(m_focus);
    // After the window's own focus event, so that a screen reader's last
    // word is the element.
    announceFocus(*this, m_focus);
}

bool CSkinWindow::focusNextPrevChild(bool next) {
    QWidget* held = focusWidget();
    if (held != nullptr && held != this && (!held->isVisibleTo(this) || !held->isEnabled())) {
        // Qt moves the focus on from a child that is being hidden or
        // disabled: the window takes it, on the element it had before.
        setFocus(Qt::OtherFocusReason);
        if (m_ringShown) {
            updateRingOf(m_focus);
        }
        return true;
    }
    const std::vector<SFocusStop> chain = focusChain();
    if (chain.empty()) {
        return false;
    }
    const bool fromChild = childHoldsFocus();
    const auto holdsWidget = [&](const SFocusStop& s) {
        return fromChild && s.widget != nullptr &&
               (s.widget == held || s.widget->isAncestorOf(held));
    };
    const auto holdsElement = [&](const SFocusStop& s) {
        if (!isFocusCandidate(m_focus) || s.element < 0) {
            return false;
        }
        const int group = focusGroup(m_elements[static_cast<std::size_t>(m_focus)]);
        return s.element == m_focus ||
               (group != 0 && focusGroup(m_elements[static_cast<std::size_t>(s.element)]) == group);
    };
    auto at = std::find_if(chain.begin(), chain.end(), holdsWidget);
    if (at == chain.end()) {
        at = std::find_if(chain.begin(), chain.end(), holdsElement);
    }
    const std::size_t n = chain.size();
    std::size_t target = next ? 0 : n - 1;
    if (at != chain.end()) {
        const auto i = static_cast<std::size_t>(at - chain.begin());
        target = next ? (i + 1) % n : (i + n - 1) % n;
    }
    moveFocusTo(chain[target], next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

bool CSkinWindow::moveFocusToward(EFocusDirection direction) {
    if (!isFocusCandidate(m_focus)) {
        for (const SFocusStop& stop : focusChain()) {
            if (stop.element >= 0) {
                moveFocusTo(stop, Qt::OtherFocusReason);
                return true;
            }
        }
        return false;
    }
    const int group = focusGroup(m_elements[static_cast<std::size_t>(m_focus)]);
    std::vector<int> members;
    std::vector<QRect> places;
    std::size_t from = 0;
    for (int i = 0; i < static_cast<int>(m_elements.size()); ++i) {
        const SkinElement& e = m_elements[static_cast<std::size_t>(i)];
        if (isFocusCandidate(i) && focusGroup(e) == group) {
            if (i == m_focus) {
                from = members.size();
            }
            members.push_back(i);
            places.push_back(windowRect(e));
        }
    }
    const bool vertical = direction == EFocusDirection::Up || direction == EFocusDirection::Down;
    if (!m_arrowLine || m_arrowLineVertical != vertical) {
        m_arrowLine = vertical ? centreX(places[from]) : centreY(places[from]);
        m_arrowLineVertical = vertical;
    }
    const std::optional<double> line = m_arrowLine;
    const std::optional<std::size_t> target = nearestToward(places, from, direction, line);
    if (!target) {
        // Nothing lies that way; the ring shows where the focus is all the same.
        if (!m_ringShown) {
            m_ringShown = true;
            updateRingOf(m_focus);
        }
        return true;
    }
    moveFocusTo({members[*target], nullptr}, Qt::OtherFocusReason);
    m_arrowLine = line;
    m_arrowLineVertical = vertical;
    return true;
}

bool CSkinWindow::activateFocused(const QKeyEvent& event) {
    if (!isActivationKey(event) || !focusRingShown()) {
        return false;
    }
    if (!event.isAutoRepeat()) {
        onElementActivated(m_focus);
    }
    return true;
}

bool CSkinWindow::handleFocusKey(const QKeyEvent& event) {
    if (childHoldsFocus()) {
        return false;
    }
    if (const std::optional<EFocusDirection> direction = arrowDirection(event)) {
        return moveFocusToward(*direction);
    }
    return activateFocused(event);
}

void CSkinWindow::keyPressEvent(QKeyEvent* event) {
    if (handleFocusKey(*event)) {
        return;
    }
    QDialog::keyPressEvent(event);
}

void CSkinWindow::focusInEvent(QFocusEvent* event) {
    if (m_ringShown) {
        updateRingOf(m_focus);
    }
    QDialog::focusInEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason && isFocusCandidate(m_focus)) {
        // Qt tells of the window once this handler returns; the element it
        // comes back to is told of after that.
        QTimer::singleShot(0, this, [this] {
            if (hasFocus() && isFocusCandidate(m_focus)) {
                announceFocus(*this, m_focus);
            }
        });
    }
}

void CSkinWindow::focusOutEvent(QFocusEvent* event) {
    // A child widget taking the focus hides the ring.
    if (m_ringShown) {
        updateRingOf(m_focus);
    }
    QDialog::focusOutEvent(event);
}

void CSkinWindow::paintFocusRing(QPainter& p) {
    if (!focusRingShown()) {
        return;
    }
    const SkinRect r = pictureRect(m_elements[static_cast<std::size_t>(m_focus)]);
    // The pen runs along the middle of the ring: its edges fall on whole
    // design pixels, so the straight sides are crisp at any resolution.
    const auto around = [&r](qreal out) {
        return QRectF(r.left - out, r.top - out, r.width() + 2 * out, r.height() + 2 * out);
    };
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    const qreal halo = kFocusRingGap + kFocusRingWidth + kFocusHaloWidth / 2.0;
    p.setPen(QPen(paletteColour(layout::kTitleText), kFocusHaloWidth));
    p.drawRoundedRect(around(halo), kFocusRingRadius + 1, kFocusRingRadius + 1);
    p.setPen(QPen(paletteColour(layout::kAccentOrange), kFocusRingWidth));
    p.drawRoundedRect(around(kFocusRingGap + kFocusRingWidth / 2.0), kFocusRingRadius,
                      kFocusRingRadius);
    p.restore();
}

} // namespace talvik::shell
