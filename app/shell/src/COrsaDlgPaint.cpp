// Painting of the main window: the information header, the active state of
// keys and layer labels, the assignment markers and the key details.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

#include "talvik/layout/SkinLayout.h"

#include <QPainter>

namespace talvik::shell {
namespace {

namespace id = layout::main_id;

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

bool isKey(const SkinElement& e) {
    return e.id >= id::FirstKey && !e.isLabel;
}

} // namespace

text::Language COrsaDlg::language() const {
    return m_state.language;
}

int COrsaDlg::modeOf(int key, int level) const {
    if (key < 1 || key > model::kKeyCount || level < 0 || level > 1) {
        return 0;
    }
    return static_cast<int>(
        m_state.keyConfig.Mode[static_cast<std::size_t>(key)][static_cast<std::size_t>(level)]);
}

QString COrsaDlg::infoHeader() {
    const auto keyName = [this](int key) {
        if (key >= 1 && key <= model::kKeyCount) {
            for (SkinElement& e : elements()) {
                if (e.keyIndex == key) {
                    return e.caption(m_state.language) + QLatin1Char(' ');
                }
            }
        }
        return QStringLiteral("     ");
    };
    const QString model = QString::fromUtf8(text::modelName(m_state.modelNumber));
    const QString most = keyName(m_state.mostPressedKey);
    const QString least = keyName(m_state.leastPressedKey);
    if (m_state.language == text::Language::Chinese) {
        return QStringLiteral("%1 编程软件 [版本 1.1.2]\r\n\r\n高频键：%2 低频键：%3\r\n敲击次数：")
            .arg(model, most, least);
    }
    return QStringLiteral(
               "%1 Programming Software [Ver 1.1.2]\r\n\r\nHighest: %2 Lowest: %3\r\n\r\n"
               "Counter: ")
        .arg(model, most, least);
}

QString COrsaDlg::keyDetails(int key) const {
    QString details;
    const int counter = m_state.pressCount[static_cast<std::size_t>(key)];
    if (m_heatmap) {
        details += heatDetails(key);
    } else if (counter >= 0) {
        details += QString::number(counter);
    }
    const bool chinese = m_state.language == text::Language::Chinese;
    // The mode names' rows: Chinese first, then English.
    const auto& modeNames = m_state.modeNames[chinese ? 0 : 1];
    const auto modeName = [&](int level) {
        const int mode = modeOf(key, level);
        return mode >= 0 && mode < 9 ? fromUtf8(modeNames[mode]) : QString();
    };
    const QString format = chinese
                               ? QStringLiteral("\r\n\r\n顶层键：%1 %2\r\n\r\nFN组合键：%3 %4\r\n")
                               : QStringLiteral("\r\n\r\nTop layer Key: %1 %2\r\n\r\nFn layer "
                                                "Key: %3 %4\r\n");
    // What the keyboard does not hold yet is said after the assignment.
    const auto assignment = [&](int level) {
        QString summary = fromUtf8(m_state.assignmentSummary(key, level));
        if (m_state.keyboard.unwritten(m_state.keyConfig, key, level)) {
            summary += pick("（尚未写入）", " (not written yet)");
        }
        return summary;
    };
    return details + format.arg(modeName(0), assignment(0), modeName(1), assignment(1));
}

void COrsaDlg::refreshActive() {
    for (SkinElement& e : elements()) {
        if (e.id >= id::FirstKey) {
            e.active = modeOf(e.keyIndex, m_state.editLevel) > 0;
        }
    }
    const bool fnLayer = elementWithId(id::Layer).active;
    elementWithId(id::TopLayerLabel).active = !fnLayer;
    elementWithId(id::FnLayerLabel).active = fnLayer;
}

void COrsaDlg::beforeElements() {
    m_infoText = infoHeader();
    refreshActive();
}

void COrsaDlg::drawMarker(QPainter& p, const SkinElement& e, const SkinRect& r) {
    const int mode = modeOf(e.keyIndex, m_state.editLevel);
    if (e.keyIndex <= 0 || mode <= 1 || mode > 8) {
        return;
    }
    // A 14-pixel bar centred along the bottom edge of the key.
    const int d = (r.width() - layout::kMarkerWidth) / 2;
    const QRect bar(r.left + d, r.bottom - layout::kMarkerHeight, r.width() - 2 * d,
                    layout::kMarkerHeight);
    p.fillRect(bar, m_modeColors[static_cast<std::size_t>(mode)]);
}

void COrsaDlg::paintElement(QPainter& p, SkinElement& e, const SkinRect& r) {
    const QPoint at = pointer();
    const bool key = isKey(e);
    const bool pointedKey = key && e.rect.contains(at.x(), at.y());
    const bool legendLabel =
        e.isLabel && e.id >= id::FirstLegendLabel && e.id < id::FirstLegendLabel + 7;
    if (m_heatmap && legendLabel) {
        return; // the heat scale stands where the assignment legend was
    }
    if (!(m_heatmap && key && drawHeatKey(p, e, r))) {
        drawPicturePart(p, e, r);
        if (pointedKey && e.active) {
            // The active picture has no pointer-over look of its own: without
            // this the user could not see which key a click opens.
            drawKeyOutline(p, r);
        }
    }
    if (!m_heatmap) {
        // The heatmap shows presses, not assignments: no markers, no press marks.
        drawMarker(p, e, r);
        drawPressMarks(p, e, r);
    }
    drawUnwrittenMark(p, e, r);
    drawCaption(p, e, r);
    if (pointedKey) {
        m_infoText += keyDetails(e.keyIndex);
    }
}

int COrsaDlg::focusGroup(const SkinElement& e) const {
    return isKey(e) ? 1 : 0;
}

void COrsaDlg::afterElements() {
    // Without a key under the pointer, the key the keyboard has reached is
    // the one the box tells of.
    const int pointed = hitTest(pointer());
    const int focused = focusedElement();
    if ((pointed < 0 || !isKey(elements()[static_cast<std::size_t>(pointed)])) &&
        focusRingShown() && isKey(elements()[static_cast<std::size_t>(focused)])) {
        m_infoText += keyDetails(elements()[static_cast<std::size_t>(focused)].keyIndex);
    }
    if (m_historyNote) {
        m_infoText +=
            QStringLiteral("\r\n\r\n") + pick(m_historyNote->chinese, m_historyNote->english)
                                             .arg(m_historyNote->step.in(m_state.language));
    }
    m_info.setTextIfChanged(m_infoText);
}

} // namespace talvik::shell
