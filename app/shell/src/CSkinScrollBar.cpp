#include "talvik/shell/CSkinScrollBar.h"

#include "talvik/shell/PictureCopy.h"
#include "talvik/shell/UiScale.h"

#include "talvik/layout/SkinLayout.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>

namespace talvik::shell {
namespace {

class CQtScrollTimers : public IScrollTimers {
public:
    void start(int id, int ms, Expired expired) override {
        QTimer& timer = m_timers[id];
        // A timer is stopped, never destroyed, from within its own expiry.
        QObject::disconnect(&timer, nullptr, nullptr, nullptr);
        QObject::connect(&timer, &QTimer::timeout, [id, expired] { expired(id); });
        timer.start(ms);
    }
    void stop(int id) override {
        const auto it = m_timers.find(id);
        if (it != m_timers.end()) {
            it->second.stop();
        }
    }

private:
    std::map<int, QTimer> m_timers;
};

// The picture's column for a part of a vertical bar; a horizontal bar's
// columns follow four later.
int columnOf(int part) {
    switch (part) {
    case scroll::LineUp:
        return 0;
    case scroll::LineDown:
        return 1;
    case scroll::Thumb:
        return 2;
    default:
        return 3;
    }
}

void copyFields(const ScrollInfo& from, ScrollInfo& to, unsigned fields) {
    if ((fields & ScrollRange) != 0) {
        to.minimum = from.minimum;
        to.maximum = from.maximum;
    }
    if ((fields & ScrollPage) != 0) {
        to.page = from.page;
    }
    if ((fields & ScrollPosition) != 0) {
        to.position = from.position;
    }
    if ((fields & ScrollTrackPosition) != 0) {
        to.trackPosition = from.trackPosition;
    }
}

std::int64_t wide(int value) {
    return value;
}

} // namespace

CSkinScrollBar::CSkinScrollBar(Qt::Orientation orientation, QWidget* parent, IScrollBarOwner* owner)
    : QWidget(parent), m_orientation(orientation), m_owner(owner),
      m_ownTimers(std::make_unique<CQtScrollTimers>()), m_timers(m_ownTimers.get()) {
    setMouseTracking(true);
}

CSkinScrollBar::~CSkinScrollBar() {
    // Timers given from outside may outlive the bar: they must not call it.
    m_timers->stop(kDelayTimer);
    m_timers->stop(kRepeatTimer);
}

// A bar hidden while held (its page was switched away) sees no release: the
// press ends here, and nothing repeats behind the user's back.
void CSkinScrollBar::hideEvent(QHideEvent* event) {
    m_timers->stop(kDelayTimer);
    m_timers->stop(kRepeatTimer);
    m_repeating = false;
    m_pressedPart = scroll::NoPart;
    m_pointerOutside = false;
    if (m_dragging) {
        m_dragging = false;
        m_scroll.trackPosition = -1;
    }
    m_hoverPart = scroll::NoPart;
    QWidget::hideEvent(event);
}

void CSkinScrollBar::setTimers(IScrollTimers* timers) {
    m_timers = timers != nullptr ? timers : m_ownTimers.get();
}

void CSkinScrollBar::attachSkin(const QImage& skin, float scale) {
    m_hSkin = skin;
    m_scale = scale;
    const int designCell =
        static_cast<int>(skin.deviceIndependentSize().width()) / layout::kScrollBarColumns;
    m_cell = scaledBy(designCell, scale);
    if (m_orientation == Qt::Vertical) {
        setGeometry(x(), y(), m_cell, height());
    } else {
        setGeometry(x(), y(), width(), m_cell);
    }
    update();
}

bool CSkinScrollBar::getScrollInfo(ScrollInfo& info, unsigned fields) const {
    copyFields(m_scroll, info, fields);
    return true;
}

bool CSkinScrollBar::setScrollInfo(const ScrollInfo& info, unsigned fields, bool redraw) {
    // The track position belongs to a drag of this bar; nobody sets it.
    copyFields(info, m_scroll, fields & ~ScrollTrackPosition);
    if (redraw) {
        update();
    }
    return true;
}

void CSkinScrollBar::adjustRange(int delta) {
    ScrollInfo info = m_scroll;
    info.maximum += delta;
    if (info.maximum < 0) {
        info.maximum = info.page - 1;
    }
    const int last = info.maximum - info.page + 1;
    info.position = std::max(std::min(info.position, last), info.minimum);
    setScrollInfo(info, ScrollRange | ScrollPage | ScrollPosition, true);
}

int CSkinScrollBar::positionAfter(int command, int trackPosition) const {
    int position = m_scroll.position;
    switch (command) {
    case scroll::LineUp:
        position -= 1;
        break;
    case scroll::LineDown:
        position += 1;
        break;
    case scroll::PageUp:
        position -= m_scroll.page;
        break;
    case scroll::PageDown:
        position += m_scroll.page;
        break;
    case scroll::ThumbPosition:
    case scroll::ThumbTrack:
        position = trackPosition;
        break;
    default:
        break;
    }
    return std::clamp(position, m_scroll.minimum, m_scroll.minimum + std::max(0, range()));
}

// The bar's length along its axis follows its size; Qt tells a hidden widget
// of no size change, so it is never kept aside.
int CSkinScrollBar::length() const {
    return along(QPoint(width(), height()));
}

int CSkinScrollBar::along(QPoint p) const {
    return m_orientation == Qt::Vertical ? p.y() : p.x();
}

int CSkinScrollBar::range() const {
    const std::int64_t r = wide(m_scroll.maximum) - m_scroll.minimum - m_scroll.page + 1;
    return static_cast<int>(std::clamp<std::int64_t>(r, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

int CSkinScrollBar::shownPosition() const {
    const int position = m_scroll.trackPosition != -1 ? m_scroll.trackPosition : m_scroll.position;
    // A position set outside the range must not put the thumb off its track.
    return std::clamp(position - m_scroll.minimum, 0, std::max(0, range()));
}

CSkinScrollBar::Parts CSkinScrollBar::parts() const {
    return partsFor(false);
}

// The thumb is drawn only where there is something to scroll; hit-testing
// finds it wherever the track is long enough to hold one.
CSkinScrollBar::Parts CSkinScrollBar::partsFor(bool thumbWhenNoRange) const {
    Parts g;
    const int track = std::max(0, length() - 2 * m_cell);
    // The thumb is never shorter than its two ends.
    const int minimumThumb = 2 * scaledBy(layout::kScrollThumbEnd, m_scale);
    const int r = range();
    if (track >= minimumThumb && (r > 0 || thumbWhenNoRange)) {
        const std::int64_t count = wide(m_scroll.maximum) - m_scroll.minimum + 1;
        const std::int64_t proportional = count > 0 ? wide(m_scroll.page) * track / count : track;
        g.thumbLength =
            static_cast<int>(std::clamp<std::int64_t>(proportional, minimumThumb, track));
    }
    g.track = track;
    g.arrow = track == 0 ? length() / 2 : m_cell;
    const int free = track - g.thumbLength;
    g.thumbStart =
        r > 0 ? g.arrow + static_cast<int>(wide(shownPosition()) * free / r) : g.arrow + free / 2;
    return g;
}

int CSkinScrollBar::partAt(QPoint p) const {
    const int x = along(p);
    if (x < 0 || m_hSkin.isNull()) {
        return scroll::NoPart;
    }
    const Parts g = partsFor(true);
    if (x < g.arrow) {
        return scroll::LineUp;
    }
    if (x < g.thumbStart) {
        return scroll::PageUp;
    }
    if (x < g.thumbStart + g.thumbLength) {
        return scroll::Thumb;
    }
    if (x < length() - g.arrow) {
        return scroll::PageDown;
    }
    return scroll::LineDown;
}

QRect CSkinScrollBar::partRect(int part) const {
    const Parts g = parts();
    int start = 0;
    int end = 0;
    switch (part) {
    case scroll::LineUp:
        end = g.arrow;
        break;
    case scroll::PageUp:
        start = g.arrow;
        end = g.thumbStart;
        break;
    case scroll::Thumb:
        start = g.thumbStart;
        end = g.thumbStart + g.thumbLength;
        break;
    case scroll::PageDown:
        start = g.thumbStart + g.thumbLength;
        end = length() - g.arrow;
        break;
    case scroll::LineDown:
        start = length() - g.arrow;
        end = length();
        break;
    default:
        return {};
    }
    const int length = std::max(0, end - start);
    return m_orientation == Qt::Vertical ? QRect(0, start, m_cell, length)
                                         : QRect(start, 0, length, m_cell);
}

int CSkinScrollBar::partLook(int part) const {
    if (part == scroll::Thumb) {
        if (m_dragging) {
            return 2;
        }
        return m_hoverPart == scroll::Thumb ? 1 : 0;
    }
    if (part != scroll::LineUp && part != scroll::LineDown) {
        return 0; // the track keeps one look
    }
    if (m_pressedPart == part) {
        return m_pointerOutside ? 0 : 2;
    }
    const bool idle = m_pressedPart == scroll::NoPart && !m_dragging;
    return idle && m_hoverPart == part ? 1 : 0;
}

void CSkinScrollBar::send(int command, int trackPosition) {
    if (m_owner != nullptr) {
        m_owner->onScroll(*this, command, trackPosition);
    }
}

void CSkinScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Qt keeps the pointer with this widget while the button is down.
    const QPoint p = event->position().toPoint();
    m_pointer = p;
    const int part = partAt(p);
    if (part == scroll::Thumb) {
        m_dragging = true;
        m_dragStart = p;
        m_dragStartPos = m_scroll.position;
        m_scroll.trackPosition = m_scroll.position;
        update();
        return;
    }
    if (part == scroll::NoPart) {
        return;
    }
    m_pressedPart = part;
    m_pointerOutside = false;
    m_repeating = false;
    update();
    send(part);
    m_timers->start(kDelayTimer, kDelayMs, [this](int id) { onTimer(id); });
}

void CSkinScrollBar::onTimer(int id) {
    if (id == kDelayTimer) {
        m_repeating = true;
        m_timers->stop(kDelayTimer);
        m_timers->start(kRepeatTimer, kRepeatMs, [this](int expired) { onTimer(expired); });
    }
    repeat();
}

void CSkinScrollBar::repeat() {
    if (m_pointerOutside || m_pressedPart == scroll::NoPart) {
        return;
    }
    switch (m_pressedPart) {
    case scroll::LineUp:
        if (m_scroll.position == m_scroll.minimum) {
            m_timers->stop(kRepeatTimer);
            return;
        }
        break;
    case scroll::LineDown:
        if (m_scroll.position == m_scroll.maximum) {
            m_timers->stop(kRepeatTimer);
            return;
        }
        break;
    default:
        // The page commands stop once the thumb has come under the pointer.
        if (partAt(m_pointer) == scroll::Thumb) {
            m_timers->stop(kRepeatTimer);
            return;
        }
        break;
    }
    send(m_pressedPart);
}

void CSkinScrollBar::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    m_pointer = p;
    if (m_dragging) {
        dragTo(p);
    } else if (m_pressedPart != scroll::NoPart) {
        const bool outside = !partRect(m_pressedPart).contains(p);
        if (outside != m_pointerOutside) {
            m_pointerOutside = outside;
            update();
        }
    } else {
        hoverAt(p);
    }
}

void CSkinScrollBar::dragTo(QPoint p) {
    const Parts g = parts();
    const int free = g.track - g.thumbLength;
    const int delta = along(p) - along(m_dragStart);
    const std::int64_t moved = free == 0 ? 0 : wide(delta) * range() / free;
    const std::int64_t last = wide(m_scroll.minimum) + std::max(0, range());
    const int position = static_cast<int>(
        std::clamp<std::int64_t>(wide(m_dragStartPos) + moved, m_scroll.minimum, last));
    if (position == m_scroll.trackPosition) {
        return;
    }
    m_scroll.trackPosition = position;
    update();
    send(scroll::ThumbTrack, position);
}

void CSkinScrollBar::hoverAt(QPoint p) {
    const int part = partAt(p);
    if (part != m_hoverPart) {
        m_hoverPart = part;
        update();
    }
}

void CSkinScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const QPoint p = event->position().toPoint();
    if (m_dragging) {
        m_dragging = false;
        // The owner sets the new position while it handles this.
        send(scroll::ThumbPosition, m_scroll.trackPosition);
        m_scroll.trackPosition = -1;
        m_hoverPart = partAt(p);
        update();
    } else if (m_pressedPart != scroll::NoPart) {
        m_timers->stop(m_repeating ? kRepeatTimer : kDelayTimer);
        m_repeating = false;
        m_pressedPart = scroll::NoPart;
        m_pointerOutside = false;
        hoverAt(p);
        update();
    }
}

void CSkinScrollBar::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click does nothing: only the first counts.
    event->accept();
}

void CSkinScrollBar::leaveEvent(QEvent* event) {
    // A drag or a held arrow goes on outside the bar; only the pointed-at
    // look goes with the pointer.
    if (!m_dragging && m_pressedPart == scroll::NoPart) {
        m_pointer = QPoint(-1, -1);
        hoverAt(m_pointer);
    }
    QWidget::leaveEvent(event);
}

void CSkinScrollBar::paintEvent(QPaintEvent* event) {
    (void)event;
    if (m_hSkin.isNull() || m_cell <= 0) {
        return;
    }
    QPainter p(this);
    for (const int part : {scroll::LineUp, scroll::LineDown, scroll::PageUp, scroll::PageDown}) {
        paintPart(p, part);
    }
    if (parts().thumbLength > 0) {
        paintPart(p, scroll::Thumb);
    }
}

// Copies parts of the picture in design pixels onto widget pixels: the
// picture's cell `designCell` is `m_cell` on screen.
void CSkinScrollBar::paintPart(QPainter& p, int part) {
    const QRect target = partRect(part);
    if (target.isEmpty()) {
        return;
    }
    const qreal designCell = static_cast<qreal>(
        static_cast<int>(m_hSkin.deviceIndependentSize().width()) / layout::kScrollBarColumns);
    const int column = columnOf(part) + (m_orientation == Qt::Vertical ? 0 : 4);
    const QRectF cell(column * designCell, partLook(part) * designCell, designCell, designCell);
    if (part == scroll::LineUp || part == scroll::LineDown) {
        copyPicture(p, target, m_hSkin, cell);
        return;
    }
    if (part != scroll::Thumb) {
        paintTiled(p, target, cell);
        return;
    }
    // The thumb keeps its ends whole and repeats its middle between them.
    const bool vertical = m_orientation == Qt::Vertical;
    const qreal endSource = layout::kScrollThumbEnd;
    const qreal length = vertical ? target.height() : target.width();
    const qreal endTarget = std::min(endSource * m_cell / designCell, length / 2);
    const auto slice = [vertical](const QRectF& r, qreal from, qreal size) {
        return vertical ? QRectF(r.x(), r.y() + from, r.width(), size)
                        : QRectF(r.x() + from, r.y(), size, r.height());
    };
    const QRectF whole(target);
    copyPicture(p, slice(whole, 0, endTarget), m_hSkin, slice(cell, 0, endSource));
    copyPicture(p, slice(whole, length - endTarget, endTarget), m_hSkin,
                slice(cell, designCell - endSource, endSource));
    paintTiled(p, slice(whole, endTarget, length - 2 * endTarget),
               slice(cell, endSource, designCell - 2 * endSource));
}

void CSkinScrollBar::paintTiled(QPainter& p, const QRectF& target, const QRectF& source) {
    // Across the axis the source is a whole cell, which is m_cell on screen.
    const bool vertical = m_orientation == Qt::Vertical;
    const qreal across = vertical ? source.width() : source.height();
    const qreal tile = (vertical ? source.height() : source.width()) * m_cell / across;
    if (tile <= 0) {
        return;
    }
    p.save();
    p.setClipRect(target);
    const qreal end = vertical ? target.bottom() : target.right();
    for (qreal at = vertical ? target.top() : target.left(); at < end; at += tile) {
        const QRectF piece = vertical ? QRectF(target.left(), at, target.width(), tile)
                                      : QRectF(at, target.top(), tile, target.height());
        copyPicture(p, piece, m_hSkin, source);
    }
    p.restore();
}

} // namespace talvik::shell
