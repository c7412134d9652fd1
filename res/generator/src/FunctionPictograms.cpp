#include "talvik/skin/FunctionPictograms.h"

#include "talvik/skin/ThemeIcons.h"

#include <QConicalGradient>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace talvik::skin {
namespace {

// Pictures the icon theme has no fitting icon for, drawn here on the same
// 16-pixel grid.
enum class Drawn {
    None,
    PlayPause,
    WiredWireless,
    TriggerPoint,
    Text,
    TextStack,
    TextOverLock,
    ColourDisc,
    ColourRing,
    Wave,
    ArrowLeft,
    ArrowRight
};

// A small mark in the lower right corner that says what is done with the
// picture: which device, more or less, locked, switched, ended, edited.
enum class Badge { None, Digit, Plus, Minus, Lock, Power, Pencil, Cross, Swap };

struct Recipe {
    int code;
    const char* icon; // theme icon, or nullptr
    Drawn drawn;
    const char* text; // for text pictures and the digit badge
    Badge badge;
};

// clang-format off
constexpr Recipe kRecipes[] = {
    // Multimedia
    {115, "multimedia-player", Drawn::None, nullptr, Badge::None},
    {111, nullptr, Drawn::PlayPause, nullptr, Badge::None},
    {110, "media-playback-stop", Drawn::None, nullptr, Badge::None},
    {108, "media-skip-forward", Drawn::None, nullptr, Badge::None},
    {109, "media-skip-backward", Drawn::None, nullptr, Badge::None},
    {114, "audio-volume-low", Drawn::None, nullptr, Badge::None},
    {113, "audio-volume-high", Drawn::None, nullptr, Badge::None},
    {112, "audio-volume-muted", Drawn::None, nullptr, Badge::None},
    // Browser and applications
    {121, "go-previous", Drawn::None, nullptr, Badge::None},
    {122, "go-next", Drawn::None, nullptr, Badge::None},
    {123, "process-stop", Drawn::None, nullptr, Badge::None},
    {124, "view-refresh", Drawn::None, nullptr, Badge::None},
    {125, "starred", Drawn::None, nullptr, Badge::None},
    {119, "system-search", Drawn::None, nullptr, Badge::None},
    {116, "mail-unread", Drawn::None, nullptr, Badge::None},
    {120, "go-home", Drawn::None, nullptr, Badge::None},
    {118, "computer", Drawn::None, nullptr, Badge::None},
    {117, "accessories-calculator", Drawn::None, nullptr, Badge::None},
    // Keyboard functions
    {170, "bluetooth", Drawn::None, "3", Badge::Digit},
    {169, "bluetooth", Drawn::None, "2", Badge::Digit},
    {168, "bluetooth", Drawn::None, "1", Badge::Digit},
    {180, "bluetooth", Drawn::None, "4", Badge::Digit},
    {181, "bluetooth", Drawn::None, "5", Badge::Digit},
    {167, nullptr, Drawn::WiredWireless, nullptr, Badge::None},
    {151, nullptr, Drawn::TriggerPoint, nullptr, Badge::None},
    {171, "input-gaming", Drawn::None, nullptr, Badge::None},
    {172, "power-profile-power-saver", Drawn::None, nullptr, Badge::None},
    {155, nullptr, Drawn::TextStack, "Win\nMac", Badge::None},
    {153, nullptr, Drawn::TextOverLock, "Win", Badge::None},
    {154, nullptr, Drawn::TextOverLock, "Fn", Badge::None},
    {150, "input-keyboard", Drawn::None, nullptr, Badge::Lock},
    {174, "media-playlist-repeat", Drawn::None, nullptr, Badge::None},
    {175, "preferences-system-time", Drawn::None, nullptr, Badge::None},
    {156, nullptr, Drawn::Text, "Fn", Badge::None},
    {159, "input-keyboard", Drawn::None, nullptr, Badge::Pencil},
    {152, nullptr, Drawn::TextStack, "Caps\nCtrl", Badge::None},
    // Backlight: the sun is the backlight, the lamp its effects
    {148, nullptr, Drawn::ColourDisc, nullptr, Badge::None},
    {138, nullptr, Drawn::ColourRing, nullptr, Badge::None},
    {137, "keyboard-brightness", Drawn::None, nullptr, Badge::Swap},
    {144, "display-brightness", Drawn::None, nullptr, Badge::Minus},
    {145, "display-brightness", Drawn::None, nullptr, Badge::Plus},
    {135, "display-brightness", Drawn::None, nullptr, Badge::Power},
    {139, "keyboard-brightness", Drawn::None, nullptr, Badge::Cross},
    {136, "display-brightness", Drawn::None, nullptr, Badge::Pencil},
    {143, nullptr, Drawn::Wave, nullptr, Badge::Plus},
    {142, nullptr, Drawn::Wave, nullptr, Badge::Minus},
    {146, nullptr, Drawn::ArrowLeft, nullptr, Badge::None},
    {147, nullptr, Drawn::ArrowRight, nullptr, Badge::None},
    // Power
    {75, "daytime-sunrise", Drawn::None, nullptr, Badge::None},
    {76, "weather-clear-night", Drawn::None, nullptr, Badge::None},
    {77, "system-shutdown", Drawn::None, nullptr, Badge::None},
};
// clang-format on

constexpr qreal kGrid = kThemeIconGrid;
constexpr qreal kBadgeRadius = 5.0;

const Recipe* recipeFor(int code) {
    for (const Recipe& r : kRecipes) {
        if (r.code == code) {
            return &r;
        }
    }
    return nullptr;
}

// A 16 x 16 box on whole design pixels, so theme icons meet the pixel grid
// at every resolution.
QRectF gridBox(QPointF centre) {
    return QRectF(std::floor(centre.x() - kGrid / 2 + 0.5),
                  std::floor(centre.y() - kGrid / 2 + 0.5), kGrid, kGrid);
}

QPen inkPen(const QColor& ink, qreal width = 1.8) {
    return QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawPlayPause(QPainter& p, const QRectF& b, const QColor& ink) {
    QPainterPath play;
    play.moveTo(b.left() + 0.5, b.top() + 2);
    play.lineTo(b.left() + 8.5, b.top() + 8);
    play.lineTo(b.left() + 0.5, b.top() + 14);
    play.closeSubpath();
    p.fillPath(play, ink);
    p.fillRect(QRectF(b.left() + 10, b.top() + 3, 2.2, 10), ink);
    p.fillRect(QRectF(b.left() + 13.6, b.top() + 3, 2.2, 10), ink);
}

void drawWiredWireless(QPainter& p, const QRectF& b, const QColor& ink) {
    // A plug on the left, radio waves on the right.
    p.setPen(inkPen(ink, 1.4));
    p.drawLine(QPointF(b.left() + 2.2, b.top() + 2.5), QPointF(b.left() + 2.2, b.top() + 5.5));
    p.drawLine(QPointF(b.left() + 5.0, b.top() + 2.5), QPointF(b.left() + 5.0, b.top() + 5.5));
    p.drawLine(QPointF(b.left() + 3.6, b.top() + 11), QPointF(b.left() + 3.6, b.top() + 15));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(b.left() + 0.6, b.top() + 5.5, 6, 6), 1.5, 1.5);
    const QPointF centre(b.left() + 12, b.top() + 13.5);
    p.drawEllipse(centre, 1.4, 1.4);
    p.setBrush(Qt::NoBrush);
    p.setPen(inkPen(ink, 1.5));
    for (const qreal radius : {4.0, 7.0}) {
        const QRectF arc(centre.x() - radius, centre.y() - radius, 2 * radius, 2 * radius);
        p.drawArc(arc, 55 * 16, 70 * 16);
    }
}

void drawTriggerPoint(QPainter& p, const QRectF& b, const QColor& ink) {
    // A key above two travel marks, with the way down between them.
    p.setPen(inkPen(ink, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(b.left() + 2.5, b.top() + 0.7, 11, 5.3), 1.5, 1.5);
    p.drawLine(QPointF(b.left() + 8, b.top() + 7.5), QPointF(b.left() + 8, b.top() + 14.5));
    p.drawLine(QPointF(b.left() + 5.5, b.top() + 12), QPointF(b.left() + 8, b.top() + 14.5));
    p.drawLine(QPointF(b.left() + 10.5, b.top() + 12), QPointF(b.left() + 8, b.top() + 14.5));
    p.drawLine(QPointF(b.left() + 0.7, b.top() + 10), QPointF(b.left() + 3.5, b.top() + 10));
    p.drawLine(QPointF(b.left() + 12.5, b.top() + 10), QPointF(b.left() + 15.3, b.top() + 10));
    p.drawLine(QPointF(b.left() + 0.7, b.top() + 15), QPointF(b.left() + 3.5, b.top() + 15));
    p.drawLine(QPointF(b.left() + 12.5, b.top() + 15), QPointF(b.left() + 15.3, b.top() + 15));
}

void drawText(QPainter& p, const QRectF& face, const QString& text, const QColor& ink) {
    p.setPen(ink);
    const QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() == 2) {
        p.setFont(skinFont(9, true));
        const qreal half = face.height() / 2;
        p.drawText(QRectF(face.left(), face.top() + 1, face.width(), half), Qt::AlignCenter,
                   lines[0]);
        p.drawText(QRectF(face.left(), face.top() + half - 1, face.width(), half), Qt::AlignCenter,
                   lines[1]);
        return;
    }
    p.setFont(skinFont(text.size() <= 2 ? 13 : 10, true));
    p.drawText(face, Qt::AlignCenter, text);
}

QConicalGradient spectrum(QPointF centre) {
    QConicalGradient g(centre, 90);
    const auto& stops = layout::kPictogramSpectrum;
    for (std::size_t i = 0; i < stops.size(); ++i) {
        g.setColorAt(static_cast<qreal>(i) / stops.size(), toColor(stops[i]));
    }
    g.setColorAt(1.0, toColor(stops[0]));
    return g;
}

void drawColourDisc(QPainter& p, const QRectF& b, const QColor& ink, bool ring) {
    const QPointF centre = b.center();
    if (ring) {
        // The effect's colour: a ring of colours around the light it paints.
        p.setPen(QPen(QBrush(spectrum(centre)), 3.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, 6.3, 6.3);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(centre, 2.2, 2.2);
        return;
    }
    p.setPen(QPen(ink, 1.2));
    p.setBrush(QBrush(spectrum(centre)));
    p.drawRoundedRect(QRectF(b.left() + 1, b.top() + 1, 14, 14), 3, 3);
}

void drawWave(QPainter& p, const QRectF& b, const QColor& ink) {
    QPainterPath wave;
    wave.moveTo(b.left() + 0.8, b.top() + 8);
    for (int i = 1; i <= 28; ++i) {
        const qreal x = 0.8 + i * (14.4 / 28);
        wave.lineTo(b.left() + x,
                    b.top() + 8 - 4.5 * std::sin(x / 14.4 * 2 * std::numbers::pi * 1.5));
    }
    p.setPen(inkPen(ink, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wave);
}

void drawArrow(QPainter& p, const QRectF& b, const QColor& ink, bool left) {
    // An arrow with the streaks of something moving that way.
    QPainterPath arrow;
    const qreal dir = left ? -1 : 1;
    const qreal tip = b.center().x() + dir * 7.5;
    arrow.moveTo(tip, b.top() + 8);
    arrow.lineTo(tip - dir * 6, b.top() + 3);
    arrow.lineTo(tip - dir * 6, b.top() + 13);
    arrow.closeSubpath();
    p.fillPath(arrow, ink);
    p.setPen(inkPen(ink, 2.0));
    p.drawLine(QPointF(tip - dir * 6, b.top() + 8), QPointF(tip - dir * 10.5, b.top() + 8));
    p.setPen(inkPen(ink, 1.4));
    p.drawLine(QPointF(tip - dir * 12, b.top() + 5), QPointF(tip - dir * 14.5, b.top() + 5));
    p.drawLine(QPointF(tip - dir * 12, b.top() + 11), QPointF(tip - dir * 14.5, b.top() + 11));
}

void drawPadlock(QPainter& p, QPointF c, const QColor& colour, qreal size = 1.0);

// The key's name above a padlock: that key is locked.
void drawTextOverLock(QPainter& p, const QRectF& face, const QString& text, const QColor& ink) {
    p.setPen(ink);
    p.setFont(skinFont(10, true));
    p.drawText(QRectF(face.left(), face.top() + 1, face.width(), 11), Qt::AlignCenter, text);
    drawPadlock(p, QPointF(face.center().x(), face.bottom() - 6.5), ink, 1.45);
}

void drawDrawn(QPainter& p, Drawn drawn, const QRectF& box, const QRectF& face, const char* text,
               const QColor& ink) {
    switch (drawn) {
    case Drawn::PlayPause:
        return drawPlayPause(p, box, ink);
    case Drawn::WiredWireless:
        return drawWiredWireless(p, box, ink);
    case Drawn::TriggerPoint:
        return drawTriggerPoint(p, box, ink);
    case Drawn::Text:
    case Drawn::TextStack:
        return drawText(p, drawn == Drawn::Text ? box.adjusted(-3, -2, 3, 2) : face,
                        QString::fromUtf8(text), ink);
    case Drawn::TextOverLock:
        return drawTextOverLock(p, face, QString::fromUtf8(text), ink);
    case Drawn::ColourDisc:
    case Drawn::ColourRing:
        return drawColourDisc(p, box, ink, drawn == Drawn::ColourRing);
    case Drawn::Wave:
        return drawWave(p, box, ink);
    case Drawn::ArrowLeft:
    case Drawn::ArrowRight:
        return drawArrow(p, box, ink, drawn == Drawn::ArrowLeft);
    case Drawn::None:
        return;
    }
}

void drawPadlock(QPainter& p, QPointF c, const QColor& colour, qreal size) {
    p.setPen(QPen(colour, 1.2 * size));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 1.9 * size, c.y() - 3.4 * size, 3.8 * size, 4.4 * size), 0, 180 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(c.x() - 2.8 * size, c.y() - 0.8 * size, 5.6 * size, 4.0 * size),
                      0.8 * size, 0.8 * size);
}

void drawBadgeSymbol(QPainter& p, Badge badge, QPointF c, const QColor& colour) {
    p.setPen(inkPen(colour, 1.5));
    p.setBrush(Qt::NoBrush);
    const qreal s = 2.6;
    switch (badge) {
    case Badge::Plus:
        p.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - s), QPointF(c.x(), c.y() + s));
        break;
    case Badge::Minus:
        p.drawLine(QPointF(c.x() - s, c.y()), QPointF(c.x() + s, c.y()));
        break;
    case Badge::Cross:
        p.drawLine(c + QPointF(-2, -2), c + QPointF(2, 2));
        p.drawLine(c + QPointF(-2, 2), c + QPointF(2, -2));
        break;
    case Badge::Lock:
        drawPadlock(p, c, colour);
        break;
    case Badge::Power:
        p.setPen(inkPen(colour, 1.2));
        p.drawArc(QRectF(c.x() - 2.6, c.y() - 2.2, 5.2, 5.2), 120 * 16, 300 * 16);
        p.drawLine(c + QPointF(0, -3), c + QPointF(0, 0.2));
        break;
    case Badge::Pencil:
        p.setPen(QPen(colour, 1.9, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(c + QPointF(-1.6, 1.6), c + QPointF(2.4, -2.4));
        p.setPen(inkPen(colour, 1.0));
        p.drawLine(c + QPointF(-2.6, 2.6), c + QPointF(-2.0, 2.0));
        break;
    case Badge::Swap:
        p.drawLine(c + QPointF(-2.6, -1.3), c + QPointF(2.2, -1.3));
        p.drawLine(c + QPointF(2.2, -1.3), c + QPointF(0.9, -2.6));
        p.drawLine(c + QPointF(2.6, 1.5), c + QPointF(-2.2, 1.5));
        p.drawLine(c + QPointF(-2.2, 1.5), c + QPointF(-0.9, 2.8));
        break;
    case Badge::None:
    case Badge::Digit:
        break;
    }
}

// The badge sits in the lower right corner of the face, cut free from the
// picture under it by a ring of the face's colour.
void drawBadge(QPainter& p, Badge badge, const QRectF& face, const QColor& ink,
               const QColor& faceColour) {
    const QPointF c(face.right() - kBadgeRadius - 0.5, face.bottom() - kBadgeRadius - 0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(faceColour);
    p.drawEllipse(c, kBadgeRadius + 1.3, kBadgeRadius + 1.3);
    p.setBrush(ink);
    p.drawEllipse(c, kBadgeRadius, kBadgeRadius);
    drawBadgeSymbol(p, badge, c, faceColour);
}

} // namespace

bool drawFunctionPictogram(QPainter& p, const QRectF& face, int code, const QColor& ink,
                           const QColor& faceColour) {
    const Recipe* recipe = recipeFor(code);
    if (recipe == nullptr) {
        return false;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    // A picture with a mark moves up and left to leave the mark its corner;
    // a device number stands beside its picture.
    QPointF centre = face.center();
    if (recipe->badge == Badge::Digit) {
        centre += QPointF(-4, 0);
    } else if (recipe->badge != Badge::None) {
        centre += QPointF(-2.5, -2);
    }
    const QRectF box = gridBox(centre);
    if (recipe->icon != nullptr) {
        drawThemeIcon(p, box, QString::fromLatin1(recipe->icon), ink);
    }
    drawDrawn(p, recipe->drawn, box, face, recipe->text, ink);
    if (recipe->badge == Badge::Digit) {
        p.setPen(ink);
        p.setFont(skinFont(12, true));
        p.drawText(QRectF(box.right() - 3, face.top() + 4, face.right() - box.right() + 3,
                          face.height() - 4),
                   Qt::AlignCenter, QString::fromUtf8(recipe->text));
    } else if (recipe->badge != Badge::None) {
        drawBadge(p, recipe->badge, face, ink, faceColour);
    }
    p.restore();
    return true;
}

namespace {

// The ink of a flat button's picture in each look: on the orange of an
// active button the pictogram is white.
QColor buttonInk(Look look) {
    return toColor(buttonShades(look).ink);
}

QColor buttonFace(Look look) {
    return toColor(buttonShades(look).face);
}

} // namespace

void drawFunctionButton(QPainter& p, int page, const layout::FunctionButton& button, Look look) {
    const QRect r = toRect(button.rect);
    if (page == 5) {
        // The mouse page's buttons are rows under their captions.
        drawButton(p, r, look);
        return;
    }
    if (page == 7) {
        // The caption sits in the lower part of the button, centred; the
        // picture stays left of the longest one ("Power").
        drawButton(p, r, look);
        const QRectF face(r.left() + 2, r.top() + 6, 19, 19);
        drawFunctionPictogram(p, face, button.code, buttonInk(look), buttonFace(look));
        return;
    }
    // A pictogram says less at a glance than a letter: it gets a brighter
    // ink than the legends of the keyboard's keys.
    const QRectF face = drawKeycapBody(p, r, look);
    const QColor ink = look == Look::Normal ? toColor(layout::kPictogramInk) : keycapInk(look);
    drawFunctionPictogram(p, face, button.code, ink, keycapFace(look));
}

void drawFunctionButtons(QPainter& p, int page, Look look) {
    for (const layout::FunctionButton& b : layout::functionButtons(page)) {
        drawFunctionButton(p, page, b, look);
    }
}

} // namespace talvik::skin
