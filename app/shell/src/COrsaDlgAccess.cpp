// What screen readers learn of the main window.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/layout/SkinLayout.h"
#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

namespace talvik::shell {

namespace id = layout::main_id;

SElementAccess COrsaDlg::accessOf(int index) const {
    SElementAccess access = CSkinWindow::accessOf(index);
    const SkinElement& e = elements()[static_cast<std::size_t>(index)];
    const bool chinese = m_state.language == text::Language::Chinese;
    if (e.id == id::Layer) {
        access.checkable = true;
        access.checked = m_state.editLevel == 1;
        access.name = chinese ? QStringLiteral("Fn组合层") : QStringLiteral("Fn layer");
    } else if (e.id == id::Language) {
        access.checkable = true;
        access.checked = m_state.language == text::Language::English;
    } else if (e.keyIndex >= 0 && access.role != QAccessible::NoRole) {
        // As the information box says it: the key, then what it does on the
        // layer shown.
        const int key = e.keyIndex;
        const int level = m_state.editLevel;
        const QString layer =
            level == 0 ? (chinese ? QStringLiteral("顶层键") : QStringLiteral("Top layer Key"))
                       : (chinese ? QStringLiteral("FN组合键") : QStringLiteral("Fn layer Key"));
        const int mode = modeOf(key, level);
        const auto& modeNames = m_state.modeNames[chinese ? 0 : 1];
        const QString modeName = mode >= 0 && mode < 9
                                     ? QString::fromUtf8(modeNames[static_cast<std::size_t>(mode)])
                                     : QString();
        const QString summary = QString::fromUtf8(m_state.assignmentSummary(key, level));
        access.name =
            QStringLiteral("%1, %2%3%4")
                .arg(access.name, layer, chinese ? QStringLiteral("：") : QStringLiteral(": "),
                     (modeName + QLatin1Char(' ') + summary).trimmed());
    }
    return access;
}

} // namespace talvik::shell
