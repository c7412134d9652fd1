#pragma once

// The base of every skinned window: a frameless dialog drawn entirely from
// three pictures of equal size (normal, pointer-over, active), shaped by the
// colour key of its pictures (transparent where the window system blends
// windows, a shape mask elsewhere), of the pictures' fixed size, dragged by
// its background and offering a resize from its right and bottom margins.
// Elements are hit-tested against their table; a left-button release over
// one is handed to the window by element.
//
// Painting happens into an off-screen image in design coordinates (picture
// pixels at resolution 1) and reaches the screen in one draw. The pictures
// may be drawn at a higher resolution (their device pixel ratio says which);
// the canvas then has that resolution too, so a window shown at twice its
// design size is painted from pictures and text drawn at twice the size and
// the final draw stretches nothing.
//
// The keyboard reaches the elements too. Tab and Shift+Tab move the focus
// through the clickable elements shown and the child widgets that take Tab
// focus, in reading order; the arrow keys move it to the nearest element that
// way; Enter and Space act on the focused element as a left click does. The
// focused element wears a ring in the accent once the keyboard has moved the
// focus, until the pointer clicks.

#include "talvik/hwi/WindowHandle.h"
#include "talvik/shell/FocusOrder.h"
#include "talvik/shell/SkinAccessible.h"
#include "talvik/shell/SkinElement.h"

#include <QDialog>

#include <QImage>
#include <functional>
#include <future>

#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace talvik::shell {

class CFontTable;

class CSkinWindow : public QDialog {
public:
    // Margin along the right and bottom edges that resizes the window.
    static constexpr int kResizeMargin = 6;

    explicit CSkinWindow(QWidget* parent = nullptr);
    ~CSkinWindow() override;

    // The handle under which workers and the keyboard library post to this
    // window; valid from construction to destruction.
    HWND handle() const { return m_handle; }

    std::vector<SkinElement>& elements() { return m_elements; }
    const std::vector<SkinElement>& elements() const { return m_elements; }
    float scale() const { return m_scale; }
    // The pointer in window coordinates at the last movement; (-1, -1) when outside.
    QPoint pointer() const { return m_pointer; }

    // Index of the first hit-testable element containing `p` (window
    // coordinates), or -1.
    int hitTest(QPoint p) const;
    // Index of the first element with `id`; none when no element has it, and
    // for the ids of 0 or less that mark the empty slots.
    std::optional<int> findId(int id) const;
    // Index of the first element with `id`, for the ids the window's own
    // table always holds. A missing one is a fault of the table: it throws
    // std::logic_error naming the id rather than land on another element.
    int indexOfId(int id) const;
    // The element with `id`, under the same rule.
    SkinElement& elementWithId(int id) {
        return m_elements[static_cast<std::size_t>(indexOfId(id))];
    }
    // Renders the window as the next paint would, at the pictures' resolution
    // (the image's device pixel ratio).
    QImage renderCanvas();
    // Whether the key colour's pixels are transparent (rather than masked).
    bool isTranslucent() const { return m_translucent; }
    // The pictures' size in design pixels.
    QSize designSize() const;

    // What assistive technology is told of element `index`. By default a
    // clickable element is a push button named by its caption in the current
    // language, or by its tip where it has no caption; labels and the empty
    // slots are left out.
    virtual SElementAccess accessOf(int index) const;
    // The id of the close control in the title bar, which shows no text (0:
    // the window has none); assistive technology calls it "Close".
    virtual int closeControlId() const { return 0; }
    // A press from assistive technology on element `index`: one deliberate
    // act, as Enter on the focused element is (no double click to wait for).
    void pressFromAccessibility(int index) { onElementActivated(index); }
    // The bar the window paints to show a job's progress, if it has one.
    virtual std::optional<SMeterAccess> meterAccess() const { return std::nullopt; }
    // Whether element `index` takes part now (it is on the page shown).
    bool elementShown(int index) const {
        return isShown(m_elements[static_cast<std::size_t>(index)]);
    }
    // Element `index`'s rectangle in window pixels.
    QRect elementRect(int index) const {
        return windowRect(m_elements[static_cast<std::size_t>(index)]);
    }
    // The ring around the focused element: this far outside its rectangle,
    // this wide and with corners of this radius, in design pixels, in the
    // accent; a light line this wide runs round its outside, so that it is
    // never taken for the accent outline a key shows under the pointer.
    static constexpr int kFocusRingGap = 2;
    static constexpr int kFocusRingWidth = 2;
    static constexpr int kFocusRingRadius = 3;
    static constexpr int kFocusHaloWidth = 1;
    // The element the keyboard acts on (-1: none). A click gives the focus
    // to the element clicked, without the ring.
    int focusedElement() const { return m_focus; }
    // Whether the focused element wears its ring now: the keyboard moved the
    // focus there, it is shown, and no child widget holds the focus.
    bool focusRingShown() const;
    // Gives element `index` the focus, with the ring or without.
    void focusElement(int index, bool ring);

protected:
    // Set-up, in this order, from the derived window's initialisation.
    void setPictures(const QImage* normal, const QImage* hover, const QImage* active);
    // The same, for a window whose pointer-over picture is read only when
    // the pointer first needs it: `hover` gives it then (null: none).
    void setPictures(const QImage* normal, std::function<const QImage*()> hover,
                     const QImage* active);
    void setFonts(const CFontTable* fonts) { m_fonts = fonts; }
    // Multiplies every non-label rectangle by `scale` and sizes the window to
    // the scaled picture, centred on `screenSize`.
    void applyScale(float scale, QSize screenSize);
    // Gives the window the outline of the normal picture: every pixel of the
    // key colour is outside. The first call decides between transparency
    // and a shape mask, and must come before the window is shown.
    void applyShape(QColor key);
    // Makes the window and its backing store ahead of the first show, and
    // has the store's memory mapped in on another thread meanwhile: on an
    // X server the store is fresh shared memory, and taking it page by page
    // in the first paint cost more than the paint. After applyShape; a
    // no-op where the platform gives no such store up front.
    void prepareBackingStore();
    // For a window whose paintElement only draws: a paint then skips the
    // elements it does not renew (a pointer moving over one key need not lay
    // out every key's name again). Windows that gather something while their
    // elements paint keep painting them all.
    void skipUnexposedElements() { m_skipUnexposed = true; }

    // The language the captions are drawn in.
    virtual text::Language language() const = 0;
    // Whether an element takes part in painting, hit-testing and pointer-over
    // now; a window with pages leaves out the elements of the other pages.
    virtual bool isShown(const SkinElement& e) const {
        (void)e;
        return true;
    }
    // Called before the elements are drawn and after, on every paint.
    virtual void beforeElements() {}
    virtual void afterElements() {}
    // Draws what lies on the background under the elements (design coordinates).
    virtual void paintBehindElements(QPainter& p) { (void)p; }
    // Draws one non-empty element into the canvas; `r` is its rectangle in
    // picture pixels. The default draws the picture part and the caption.
    virtual void paintElement(QPainter& p, SkinElement& e, const SkinRect& r);
    // A left-button release over element `index` (or -1 for none).
    virtual void onElementClicked(int index) { (void)index; }
    // A message posted to handle(). Keystrokes of the keyboard hook come
    // only while they belong to the capture in force on this window.
    virtual void onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // One place Tab stops at: an element, or a child widget.
    struct SFocusStop {
        int element = -1;
        QWidget* widget = nullptr;
        bool operator==(const SFocusStop&) const = default;
    };
    // A stop with the rectangle (window coordinates) that places it in reading order.
    struct SPlacedStop {
        SFocusStop stop;
        QRect place;
    };
    // The stops Tab visits, in that order; the default puts focusCandidates()
    // in reading order.
    virtual std::vector<SFocusStop> focusChain() const;
    // The clickable elements shown now, a group once, and the visible enabled
    // child widgets that take Tab focus, each at its place.
    std::vector<SPlacedStop> focusCandidates() const;
    static std::vector<SFocusStop> inReadingOrder(const std::vector<SPlacedStop>& stops);
    // Elements of one group other than 0 (the keys of a keyboard picture) are
    // one stop for Tab, and the arrow keys move among them; elsewhere the
    // arrows move among the elements of group 0.
    virtual int focusGroup(const SkinElement& e) const {
        (void)e;
        return 0;
    }
    // The member of group `group` Tab stops at, of `members` (indices, in
    // reading order, never empty): the one focused last, else the first.
    virtual int groupEntry(int group, std::span<const int> members) const;
    // Enter or Space on the focused element, while its ring shows:
    // onElementActivated runs for it. False when no ring shows; a held key's
    // repeats are taken but act only once.
    bool activateFocused(const QKeyEvent& event);
    // What Enter or Space on element `index` does: by default what a click does.
    virtual void onElementActivated(int index) { onElementClicked(index); }
    // Whether a child widget has the keyboard's focus (and so the keys).
    bool childHoldsFocus() const;
    // An arrow key moves the focus, Enter and Space act; false for any other
    // key and when a child widget holds the focus.
    bool handleFocusKey(const QKeyEvent& event);

    void drawPicturePart(QPainter& p, const SkinElement& e, const SkinRect& r);
    // Copies the part of `picture` under design rectangle `r` to the same
    // place of the canvas, whatever resolution the picture is drawn at.
    static void drawPictureRect(QPainter& p, const QImage& picture, const QRect& r);
    void drawCaption(QPainter& p, SkinElement& e, const SkinRect& r);
    // Where an element lies in picture pixels. Labels are never scaled, so
    // they are drawn where the table puts them.
    SkinRect pictureRect(const SkinElement& e) const;
    // The element's rectangle in window pixels.
    QRect windowRect(const SkinElement& e) const;
    const CFontTable* fonts() const { return m_fonts; }

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void paintCanvas();
    // Everything the window shows but its child widgets, in design
    // coordinates on a device of the pictures' resolution; `exposed`, when
    // given, is what the paint must renew.
    void paintScene(QPainter& p, const QRegion* exposed);
    void trackPointer(QPoint p);
    Qt::Edges resizeEdgesAt(QPoint p) const;
    bool isFocusCandidate(int index) const;
    void moveFocusTo(const SFocusStop& stop, Qt::FocusReason reason);
    // A left click released over element `index` (-1: none).
    void noteClick(int index);
    bool moveFocusToward(EFocusDirection direction);
    void paintFocusRing(QPainter& p);
    // The window's area the ring of element `index` covers.
    void updateRingOf(int index);

    std::vector<SkinElement> m_elements;
    const QImage* m_normal = nullptr;
    const QImage* m_hover = nullptr;
    std::function<const QImage*()> m_hoverSource; // asked at each use when set
    const QImage* m_active = nullptr;
    const CFontTable* m_fonts = nullptr;
    QImage m_canvas;
    QImage m_background; // the normal picture as the canvas starts from

    float m_scale = 1.0f;
    bool m_skipUnexposed = false;
    bool m_shapeChosen = false;
    bool m_translucent = false;
    QPoint m_pointer{-1, -1};
    HWND m_handle = 0;
    // Dragging by hand where the window system cannot move the window itself.
    bool m_dragging = false;
    QPoint m_dragOffset;
    // The keyboard's focus: the element, whether its ring shows, the member
    // each group had last, and the line a run of arrow moves keeps to.
    int m_focus = -1;
    bool m_ringShown = false;
    std::map<int, int> m_groupFocus;
    std::optional<double> m_arrowLine;
    bool m_arrowLineVertical = false;
    std::future<void> m_storeMapping; // prepareBackingStore's, until the first paint
};

} // namespace talvik::shell
