// What the main window draws over its pictures because only the window knows
// it: the lit layer plate and the panels' texts in the current language, the
// connection light, the outline of an active key under the pointer and the
// marks of the most and least pressed keys.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/CFontTable.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/UiScale.h"
#include "talvik/text/Language.h"

#include "talvik/layout/MainPanels.h"

#include <QPainter>
#include <QPainterPath>

namespace talvik::shell {
namespace {

// A small triangle in a corner of key rectangle `r`, pointing up or down.
QPainterPath pressMark(const SkinRect& r, bool up) {
    const qreal size = layout::kPressMarkSize;
    const qreal inset = layout::kKeycapInset + 3;
    const qreal top = r.top + inset;
    // The most pressed key is marked at its right corner, the least pressed
    // at its left, so one key that is both shows both.
    const qreal left = up ? r.right - inset - size : r.left + inset;
    QPainterPath path;
    if (up) {
        path.moveTo(left, top + size * 0.8);
        path.lineTo(left + size, top + size * 0.8);
        path.lineTo(left + size / 2, top);
    } else {
        path.moveTo(left, top);
        path.lineTo(left + size, top);
        path.lineTo(left + size / 2, top + size * 0.8);
    }
    path.closeSubpath();
    return path;
}

} // namespace

void COrsaDlg::drawPanelText(QPainter& p, const layout::PanelText& t, QColor colour) const {
    QFont font = fonts() != nullptr ? (*fonts())[t.pixelSize] : QFont();
    font.setPixelSize(t.pixelSize);
    font.setBold(t.bold);
    p.setFont(font);
    p.setPen(colour);
    const int horizontal = t.format == layout::kTextLeft ? Qt::AlignLeft : Qt::AlignHCenter;
    p.drawText(toQRect(t.rect), horizontal | Qt::AlignVCenter | Qt::TextWordWrap,
               QString::fromUtf8(text::textIn(m_state.language, t.zh, t.en)));
}

void COrsaDlg::paintBehindElements(QPainter& p) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    // The plate of the layer shown is lit: copied from the active picture.
    const int shown = m_state.editLevel == 1 ? 1 : 0;
    const QRect plate = toQRect(layout::kLayerPlates[static_cast<std::size_t>(shown)]);
    drawPictureRect(p, m_app.m_bmpMainActive, plate.adjusted(-1, -1, 1, 1));
    drawPanelText(p, layout::kLayerHeading, paletteColour(layout::kPanelHint));
    for (std::size_t level = 0; level < layout::kLayerTitles.size(); ++level) {
        const bool lit = static_cast<int>(level) == shown;
        drawPanelText(p, layout::kLayerTitles[level],
                      paletteColour(lit ? layout::kPanelTitleLit : layout::kPanelTitle));
        drawPanelText(p, layout::kLayerHints[level], paletteColour(layout::kPanelHint));
    }
    drawPanelText(p, layout::kLayerFooter, paletteColour(layout::kPanelHint));

    const bool connected = !m_watch.gone();
    p.setPen(Qt::NoPen);
    p.setBrush(paletteColour(connected ? layout::kConnectedGreen : layout::kDisconnectedRed));
    p.drawEllipse(QRectF(toQRect(layout::kStatusLight)));
    drawPanelText(p, connected ? layout::kConnected : layout::kDisconnected,
                  paletteColour(layout::kPanelTitle));
    if (!connected) {
        drawPanelText(p, layout::kReconnectsByItself, paletteColour(layout::kNoticeAmber));
    } else if (!m_state.keyboard.keys) {
        drawPanelText(p, layout::kNotReadYet, paletteColour(layout::kNoticeAmber));
    }
    for (const layout::PanelText& hint : layout::kStatusHints) {
        drawPanelText(p, hint, paletteColour(layout::kQuietInk));
    }
    p.restore();
    if (m_heatmap) {
        drawHeatLegend(p);
    }
}

void COrsaDlg::drawKeyOutline(QPainter& p, const SkinRect& r) const {
    // The pointer-over picture's accent edge, over a key drawn active.
    const qreal inset = layout::kKeycapInset;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(paletteColour(layout::kAccentOrange), layout::kKeyOutlineWidth));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(toQRect(r)).adjusted(inset, inset, -inset, -inset),
                      layout::kKeycapRadius, layout::kKeycapRadius);
    p.restore();
}

void COrsaDlg::drawPressMarks(QPainter& p, const SkinElement& e, const SkinRect& r) const {
    const bool most = e.keyIndex == m_state.mostPressedKey;
    const bool least = e.keyIndex == m_state.leastPressedKey;
    if (e.keyIndex <= 0 || (!most && !least)) {
        return;
    }
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(paletteColour(layout::kInkOnAccent), 1.0));
    if (most) {
        p.setBrush(paletteColour(layout::kMostPressedMark));
        p.drawPath(pressMark(r, true));
    }
    if (least) {
        p.setBrush(paletteColour(layout::kLeastPressedMark));
        p.drawPath(pressMark(r, false));
    }
    p.restore();
}

void COrsaDlg::drawUnwrittenMark(QPainter& p, const SkinElement& e, const SkinRect& r) const {
    if (e.keyIndex <= 0 || e.isLabel ||
        !m_state.keyboard.unwritten(m_state.keyConfig, e.keyIndex, m_state.editLevel)) {
        return;
    }
    const qreal size = layout::kUnwrittenMarkSize;
    const qreal inset = layout::kKeycapInset + 3;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(paletteColour(layout::kInkOnAccent), 1.0));
    p.setBrush(paletteColour(layout::kUnwrittenMark));
    p.drawEllipse(QRectF(r.left + inset, r.bottom - inset - size, size, size));
    p.restore();
}

} // namespace talvik::shell
