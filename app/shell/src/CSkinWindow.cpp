#include "talvik/shell/CSkinWindow.h"

#include "talvik/hwi/KeyboardHook.h"
#include "talvik/shell/CFontTable.h"
#include "talvik/shell/PictureCopy.h"
#include "talvik/shell/UiScale.h"
#include "talvik/shell/WindowMessageEvent.h"
#include "talvik/shell/WindowShape.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QFont>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QWindow>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace talvik::shell {
namespace {

// A copy of `picture` whose key-coloured pixels next to the outline take the
// colour of their inside neighbour. They are masked away anyway, but smooth
// stretching blends every edge pixel with its neighbours, which would tint
// the outline with the key colour.
QImage withoutKeyFringe(const QImage& picture, QRgb key) {
    QImage image = picture.convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(picture.devicePixelRatio());
    const QImage source = image.copy();
    const int w = image.width();
    const int h = image.height();
    for (int y = 0; y < h; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if ((in[x] & 0xFFFFFF) != (key & 0xFFFFFF)) {
                continue;
            }
            for (const QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
                const int nx = x + d.x();
                const int ny = y + d.y();
                if (nx >= 0 && ny >= 0 && nx < w && ny < h &&
                    (source.pixel(nx, ny) & 0xFFFFFF) != (key & 0xFFFFFF)) {
                    out[x] = source.pixel(nx, ny);
                    break;
                }
            }
        }
    }
    return image;
}

int alignmentOf(unsigned textFormat) {
    const int vertical = (textFormat & layout::kTextVCentre) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
    switch (textFormat & ~layout::kTextVCentre) {
    case layout::kTextLeft:
        return Qt::AlignLeft | vertical;
    case layout::kTextRight:
        return Qt::AlignRight | vertical;
    default:
        return Qt::AlignHCenter | vertical;
    }
}

} // namespace

CSkinWindow::CSkinWindow(QWidget* parent) : QDialog(parent) {
    installSkinAccessibility();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // Everything is drawn from the pictures; there is no background to erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    // The sink runs on the posting thread: it only queues. Qt drops events
    // still queued for this window when it is destroyed.
    m_handle = RegisterMessageWindow([this](UINT message, WPARAM wParam, LPARAM lParam) {
        QCoreApplication::postEvent(
            this, std::make_unique<CWindowMessageEvent>(message, wParam, lParam).release());
    });
}

void CSkinWindow::prepareBackingStore() {
    // A Wayland compositor's buffers are handed out per frame, not up front.
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        return;
    }
    create();
    QBackingStore* store = backingStore();
    if (store == nullptr) {
        return;
    }
    store->resize(size());
    QPaintDevice* device = store->paintDevice();
    if (device == nullptr || device->devType() != QInternal::Image) {
        return;
    }
#ifdef MADV_POPULATE_WRITE
    auto* image = static_cast<QImage*>(device);
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = reinterpret_cast<std::uintptr_t>(image->constBits()) & ~(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(image->constBits()) +
                     static_cast<std::uintptr_t>(image->sizeInBytes());
    // The pages are mapped in, their contents untouched: the paint that
    // comes may begin while this runs. Without the call (before Linux 5.14)
    // the first paint maps them as before.
    m_storeMapping = std::async(std::launch::async, [first, end] {
        madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
    });
#endif
}

CSkinWindow::~CSkinWindow() {
    if (m_storeMapping.valid()) {
        m_storeMapping.wait();
    }
    UnregisterMessageWindow(m_handle);
}

void CSkinWindow::setPictures(const QImage* normal, const QImage* hover, const QImage* active) {
    setPictures(normal, std::function<const QImage*()>(), active);
    m_hover = hover;
}

void CSkinWindow::setPictures(const QImage* normal, std::function<const QImage*()> hover,
                              const QImage* active) {
    m_normal = normal;
    m_hover = nullptr;
    m_hoverSource = std::move(hover);
    m_active = active;
    m_canvas = QImage(normal->size(),
                      m_translucent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    m_canvas.setDevicePixelRatio(normal->devicePixelRatio());
    m_background = *normal;
}

QSize CSkinWindow::designSize() const {
    return m_normal == nullptr ? QSize() : m_normal->deviceIndependentSize().toSize();
}

void CSkinWindow::applyScale(float scale, QSize screenSize) {
    m_scale = scale;
    for (SkinElement& e : m_elements) {
        if (!e.isLabel) {
            e.rect = scaledBy(e.rect, scale);
        }
    }
    const int width = scaledBy(designSize().width(), scale);
    const int height = scaledBy(designSize().height(), scale);
    const int x = static_cast<int>(static_cast<float>(screenSize.width() - width) * 0.5f);
    const int y = static_cast<int>(static_cast<float>(screenSize.height() - height) * 0.5f);
    // Where the window system lets a window place itself (X11), it is
    // centred; a Wayland compositor places it as it likes. The size is the
    // picture's and no other, said so to the window system, so that tiling
    // compositors and window managers float the window instead of
    // stretching it over a tile.
    setGeometry(x, y, width, height);
    setFixedSize(width, height);
}

void CSkinWindow::applyShape(QColor key) {
    const QSize size(scaledBy(designSize().width(), m_scale),
                     scaledBy(designSize().height(), m_scale));
    // A window's outline is chosen once, before the window system has made
    // the window: a translucent window needs a visual with alpha from the
    // start.
    if (!m_shapeChosen) {
        m_shapeChosen = true;
        m_translucent =
            !testAttribute(Qt::WA_WState_Created) && platformWindowShape() == EWindowShape::Alpha;
        if (m_translucent) {
            setAttribute(Qt::WA_TranslucentBackground);
            m_canvas = m_canvas.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        }
    }
    if (m_translucent) {
        m_background = transparentOutside(*m_normal, key.rgb());
        // Clicks on the transparent pixels still fall through to what lies
        // behind: the mask is the input region there.
        setMask(coveredRegion(m_background, size, 0));
        return;
    }
    setMask(coveredRegion(*m_normal, size, key.rgb()));
    if (size != m_normal->size()) {
        m_background = withoutKeyFringe(*m_normal, key.rgb());
    }
}

SElementAccess CSkinWindow::accessOf(int index) const {
    const SkinElement& e = m_elements[static_cast<std::size_t>(index)];
    SElementAccess access;
    if (!e.isHitTestable()) {
        return access;
    }
    access.role = QAccessible::Button;
    const std::string key = SkinElement::keyOf(language());
    // The name is what the user reads on the button: the label drawn over it,
    // else its own caption, else its tip. Its own caption, where it says
    // more, is the description.
    const auto own = e.captions.find(key);
    const QString caption = own == e.captions.end() || own->second == QLatin1String("Unused")
                                ? QString()
                                : own->second.trimmed();
    const QRect button = windowRect(e);
    for (const SkinElement& label : m_elements) {
        const auto text = label.captions.find(key);
        if (label.isLabel && label.visible && isShown(label) && text != label.captions.end() &&
            !text->second.trimmed().isEmpty() && button.contains(windowRect(label).center())) {
            access.name = text->second.trimmed();
            break;
        }
    }
    if (access.name.isEmpty()) {
        access.name = caption;
    } else if (caption != access.name) {
        access.description = caption;
    }
    if (access.name.isEmpty()) {
        access.name = e.tip(language());
    } else if (access.description.isEmpty()) {
        access.description = e.tip(language());
    }
    if (access.name.isEmpty() && e.id == closeControlId()) {
        // The close control in the title bar shows only its cross.
        access.name = language() == text::Language::Chinese ? QStringLiteral("关闭")
                                                            : QStringLiteral("Close");
    }
    return access;
}

int CSkinWindow::hitTest(QPoint p) const {
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        const SkinElement& e = m_elements[i];
        if (e.isHitTestable() && isShown(e) && e.rect.contains(p.x(), p.y())) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::optional<int> CSkinWindow::findId(int id) const {
    if (id <= 0) {
        return std::nullopt; // the id of the empty slots, never an element's
    }
    for (std::size_t i = 0; i < m_elements.size(); ++i) {
        if (m_elements[i].id == id) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

int CSkinWindow::indexOfId(int id) const {
    if (const std::optional<int> index = findId(id)) {
        return *index;
    }
    throw std::logic_error("the window's element table has no element " + std::to_string(id));
}

SkinRect CSkinWindow::pictureRect(const SkinElement& e) const {
    return e.isLabel ? e.rect : unscaledBy(e.rect, m_scale);
}

QRect CSkinWindow::windowRect(const SkinElement& e) const {
    return toQRect(e.isLabel ? scaledBy(e.rect, m_scale) : e.rect);
}

void CSkinWindow::drawPicturePart(QPainter& p, const SkinElement& e, const SkinRect& r) {
    if (e.isLabel) {
        return;
    }
    const QImage* source = nullptr;
    if (e.active) {
        source = m_active;
    } else if (e.rect.contains(m_pointer.x(), m_pointer.y())) {
        source = m_hoverSource ? m_hoverSource() : m_hover;
    }
    if (source != nullptr) {
        drawPictureRect(p, *source, toQRect(r));
    }
}

void CSkinWindow::drawPictureRect(QPainter& p, const QImage& picture, const QRect& r) {
    copyPicture(p, QRectF(r), picture, QRectF(r));
}

void CSkinWindow::drawCaption(QPainter& p, SkinElement& e, const SkinRect& r) {
    if ((!e.isLabel && !e.isListRow) || !e.visible) {
        return;
    }
    if (m_fonts != nullptr) {
        p.setFont((*m_fonts)[e.fontIndex]);
    }
    p.setPen(e.active ? e.activeTextColor : e.textColor);
    // The rectangles were made for fonts with tighter lines than ours:
    // descenders may reach below them and must not be cut off.
    p.drawText(toQRect(r), alignmentOf(e.textFormat) | Qt::TextDontClip, e.caption(language()));
}

void CSkinWindow::paintElement(QPainter& p, SkinElement& e, const SkinRect& r) {
    drawPicturePart(p, e, r);
    drawCaption(p, e, r);
}

void CSkinWindow::onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)message;
    (void)wParam;
    (void)lParam;
}

QImage CSkinWindow::renderCanvas() {
    paintCanvas();
    return m_canvas;
}

void CSkinWindow::paintCanvas() {
    // The painter must be gone before anyone copies the canvas: a copy of an
    // image that is being painted on is a deep one.
    QPainter p(&m_canvas);
    paintScene(p, nullptr);
}

void CSkinWindow::paintScene(QPainter& p, const QRegion* exposed) {
    // The background replaces what was there, transparent pixels included.
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(0, 0, m_background);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    beforeElements();
    paintBehindElements(p);
    // Drawing reaches this far outside an element's rectangle (frames, outlines).
    constexpr int kReach = 8;
    for (SkinElement& e : m_elements) {
        if (e.isEmpty() || !isShown(e)) {
            continue;
        }
        const SkinRect r = pictureRect(e);
        if (exposed != nullptr && m_skipUnexposed &&
            !exposed->intersects(toQRect(r).adjusted(-kReach, -kReach, kReach, kReach))) {
            continue;
        }
        paintElement(p, e, r);
    }
    afterElements();
    paintFocusRing(p);
}

bool CSkinWindow::event(QEvent* event) {
    if (event->type() == CWindowMessageEvent::eventType()) {
        const auto* message = static_cast<CWindowMessageEvent*>(event);
        // The keyboard hook learns here, where the keystroke is really
        // handled, that this window is taking its keys; one it calls stale
        // waited while this thread did not run, or belongs to a capture that
        // is over, and is never seen.
        if (message->m_message != WM_TALVIK_HOOKKEY || TakeHookKey(m_handle)) {
            onWindowMessage(message->m_message, message->m_wParam, message->m_lParam);
        }
        return true;
    }
    return QDialog::event(event);
}

void CSkinWindow::paintEvent(QPaintEvent* event) {
    if (m_storeMapping.valid()) {
        m_storeMapping.get();
    }
    if (m_normal == nullptr) {
        return;
    }
    const QRect target(0, 0, scaledBy(designSize().width(), m_scale),
                       scaledBy(designSize().height(), m_scale));
    const QSizeF onScreen = QSizeF(target.size()) * devicePixelRatioF();
    if (onScreen == QSizeF(m_canvas.size())) {
        // The pictures match the screen's pixels one to one: the scene goes
        // straight onto the window. A canvas would only cost a copy of the
        // whole window per paint (and, on the first paint, a window's worth of
        // fresh memory). A window scaled up on an ordinary screen, as on a
        // 3840x2160 one, paints in design coordinates scaled to its pixels,
        // as it would on a canvas of the pictures' resolution.
        QPainter p(this);
        p.setPen(QPen());
        p.setFont(QFont());
        const qreal design = m_canvas.devicePixelRatioF() / devicePixelRatioF();
        if (design == 1.0) {
            paintScene(p, &event->region());
            return;
        }
        p.scale(design, design);
        const QRegion exposed =
            QTransform::fromScale(1.0 / design, 1.0 / design).map(event->region());
        paintScene(p, &exposed);
        return;
    }
    paintCanvas();
    QPainter p(this);
    // Only a canvas that does not match the screen's pixels one to one is
    // resampled.
    p.setRenderHint(QPainter::SmoothPixmapTransform, onScreen != QSizeF(m_canvas.size()));
    p.drawImage(target, m_canvas);
}

void CSkinWindow::trackPointer(QPoint pointer) {
    m_pointer = pointer;
    for (SkinElement& e : m_elements) {
        if (!e.isHitTestable()) {
            continue;
        }
        const bool inside = isShown(e) && e.rect.contains(pointer.x(), pointer.y());
        if (inside != e.hovered) {
            e.hovered = inside;
            update(toQRect(e.rect));
        }
    }
}

Qt::Edges CSkinWindow::resizeEdgesAt(QPoint p) const {
    Qt::Edges edges;
    if (p.x() > width() - kResizeMargin) {
        edges |= Qt::RightEdge;
    }
    if (p.y() > height() - kResizeMargin) {
        edges |= Qt::BottomEdge;
    }
    return edges;
}

void CSkinWindow::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (m_dragging) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        return;
    }
    trackPointer(p);
    const Qt::Edges edges = hitTest(p) < 0 ? resizeEdgesAt(p) : Qt::Edges();
    if (edges == (Qt::RightEdge | Qt::BottomEdge)) {
        setCursor(Qt::SizeFDiagCursor);
    } else if (edges == Qt::RightEdge) {
        setCursor(Qt::SizeHorCursor);
    } else if (edges == Qt::BottomEdge) {
        setCursor(Qt::SizeVerCursor);
    } else {
        unsetCursor();
    }
}

void CSkinWindow::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    if (event->button() != Qt::LeftButton || hitTest(p) >= 0) {
        QDialog::mousePressEvent(event);
        return;
    }
    QWindow* window = windowHandle();
    const Qt::Edges edges = resizeEdgesAt(p);
    if (window != nullptr && !edges && window->startSystemMove()) {
        return;
    }
    if (window != nullptr && edges && window->startSystemResize(edges)) {
        return;
    }
    if (!edges) {
        // No window manager to move us: follow the pointer ourselves.
        m_dragging = true;
        m_dragOffset = event->globalPosition().toPoint() - pos();
    }
}

void CSkinWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mouseReleaseEvent(event);
        return;
    }
    if (m_dragging) {
        m_dragging = false;
        return;
    }
    const int index = hitTest(event->position().toPoint());
    noteClick(index);
    onElementClicked(index);
}

void CSkinWindow::enterEvent(QEnterEvent* event) {
    // A pointer that jumps in, or a window that opens under it, brings no
    // movement with it: what is under the pointer lights up all the same.
    trackPointer(event->position().toPoint());
    QDialog::enterEvent(event);
}

void CSkinWindow::leaveEvent(QEvent* event) {
    // The pointer has gone: nothing stays highlighted behind it.
    trackPointer(QPoint(-1, -1));
    QDialog::leaveEvent(event);
}

} // namespace talvik::shell
