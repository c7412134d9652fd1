#pragma once

// A scroll bar drawn entirely from one skin picture (see kScrollBarPictureId)
// that behaves towards its owner like a standard scroll bar: it keeps the
// scroll information (range, page, position, track position), answers and
// takes it through getScrollInfo/setScrollInfo, and tells its owner every
// line, page and thumb command through IScrollBarOwner. The bar never moves
// its own position on a command: the owner decides, usually with
// positionAfter(), and sets it.
//
// Parts along the axis, numbered as the commands they send:
//   first arrow (up/left) 0, last arrow (down/right) 1, track before the
//   thumb 2, track after it 3, thumb 5; -1 for none.
// Pressing an arrow or the track sends its command at once, again after
// 500 ms and then every 100 ms while the button is held and the pointer is
// on the part (an arrow stops at the end of the range, the track when the
// thumb has reached the pointer). Dragging the thumb sends ThumbTrack with
// every new track position and ThumbPosition on release. Double clicks act
// as single clicks.

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

namespace talvik::shell {

class CSkinScrollBar;

// Command codes the bar sends, the same numbers as its parts.
namespace scroll {
inline constexpr int LineUp = 0;
inline constexpr int LineDown = 1;
inline constexpr int PageUp = 2;
inline constexpr int PageDown = 3;
inline constexpr int ThumbPosition = 4;
inline constexpr int ThumbTrack = 5;
inline constexpr int Thumb = 5; // the part that sends ThumbTrack
inline constexpr int NoPart = -1;
} // namespace scroll

struct ScrollInfo {
    int minimum = 0;
    int maximum = 0;
    int page = 0;
    int position = 0;
    int trackPosition = -1; // -1 except while the thumb is dragged
    bool operator==(const ScrollInfo&) const = default;
};

// Which members of a ScrollInfo a request reads or fills.
enum ScrollInfoField : unsigned {
    ScrollRange = 1, // minimum and maximum
    ScrollPage = 2,
    ScrollPosition = 4,
    ScrollTrackPosition = 16, // get only
    ScrollAll = ScrollRange | ScrollPage | ScrollPosition | ScrollTrackPosition,
};

// Who the bar reports to: what a standard scroll bar sends its parent.
class IScrollBarOwner {
public:
    // `command` is one of scroll::*; `trackPosition` is meaningful for the
    // two thumb commands and 0 otherwise.
    virtual void onScroll(CSkinScrollBar& bar, int command, int trackPosition) = 0;

protected:
    ~IScrollBarOwner() = default;
};

// The timers behind the repeat. The bar uses Qt timers unless it is given
// others; tests give it a clock they advance by hand.
class IScrollTimers {
public:
    using Expired = std::function<void(int id)>;
    virtual ~IScrollTimers() = default;
    // Starts timer `id`, replacing one of the same id; it calls `expired`
    // every `ms` until stopped.
    virtual void start(int id, int ms, Expired expired) = 0;
    virtual void stop(int id) = 0;
};

class CSkinScrollBar : public QWidget {
public:
    // The first repeat waits on timer kDelayTimer, the rest come from kRepeatTimer.
    static constexpr int kDelayTimer = 200;
    static constexpr int kRepeatTimer = 100;
    static constexpr int kDelayMs = 500;
    static constexpr int kRepeatMs = 100;

    explicit CSkinScrollBar(Qt::Orientation orientation, QWidget* parent = nullptr,
                            IScrollBarOwner* owner = nullptr);
    ~CSkinScrollBar() override;

    void setOwner(IScrollBarOwner* owner) { m_owner = owner; }
    // Null gives the bar its own Qt timers back. Not owned.
    void setTimers(IScrollTimers* timers);
    Qt::Orientation orientation() const { return m_orientation; }

    // Takes the skin picture (kept by value) whose cells are `scale` times
    // their design size on screen, and makes the bar that thick, keeping
    // its place and length. Without a skin the bar draws nothing.
    void attachSkin(const QImage& skin, float scale = 1.0f);

    // Standard requests: every member named in `fields` is read or filled;
    // the others are left alone. A set does not clamp; it repaints when
    // `redraw` is set. Both answer true.
    bool getScrollInfo(ScrollInfo& info, unsigned fields = ScrollAll) const;
    bool setScrollInfo(const ScrollInfo& info, unsigned fields, bool redraw = true);
    const ScrollInfo& scrollInfo() const { return m_scroll; }

    // After items were added (delta > 0) or removed: maximum += delta (page - 1
    // when that falls below 0), the position kept within the range.
    void adjustRange(int delta);

    // Where a standard owner moves on `command`: a line, a page, or the
    // track position, kept between the minimum and the last position.
    int positionAfter(int command, int trackPosition) const;

    // The layout along the axis, in widget pixels.
    struct Parts {
        int arrow = 0;       // length of each arrow
        int track = 0;       // length between the arrows
        int thumbStart = 0;  // from the bar's start
        int thumbLength = 0; // 0: no thumb drawn
    };
    Parts parts() const;
    // The part under `p` (widget coordinates), or scroll::NoPart.
    int partAt(QPoint p) const;
    // The row of the picture part `part` is drawn from now: 0 normal,
    // 1 pointed at, 2 pressed.
    int partLook(int part) const;
    int cell() const { return m_cell; }
    int length() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int along(QPoint p) const;
    int range() const;
    int shownPosition() const;
    Parts partsFor(bool thumbWhenNoRange) const;
    QRect partRect(int part) const;
    void send(int command, int trackPosition = 0);
    void onTimer(int id);
    void repeat();
    void dragTo(QPoint p);
    void hoverAt(QPoint p);
    void paintPart(QPainter& p, int part);
    void paintTiled(QPainter& p, const QRectF& target, const QRectF& cell);

    Qt::Orientation m_orientation;
    IScrollBarOwner* m_owner;
    std::unique_ptr<IScrollTimers> m_ownTimers;
    IScrollTimers* m_timers;

    QImage m_hSkin; // null until a skin is attached
    int m_cell = 0; // the picture's cell on screen: thickness and arrow length
    float m_scale = 1.0f;
    ScrollInfo m_scroll;
    bool m_dragging = false;
    QPoint m_dragStart;
    int m_dragStartPos = 0;
    int m_pressedPart = scroll::NoPart;
    bool m_repeating = false;
    int m_hoverPart = scroll::NoPart;
    bool m_pointerOutside = false;
    QPoint m_pointer{-1, -1}; // last pointer position over the bar
};

} // namespace talvik::shell
