// Minimising to the notification area, or to the task bar where there is none.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/model/CAppState.h"
#include "talvik/text/Language.h"

namespace talvik::shell {

void COrsaDlg::minimise() {
    if (!m_trayAvailable()) {
        // Hiding the window with no icon to bring it back would strand the
        // user: without a notification area it goes to the task bar instead.
        showMinimized();
        return;
    }
    // The menu speaks the language of the moment the window was hidden; it
    // cannot change while the window is away.
    m_tray.show(m_hIcon, QString::fromUtf8(text::modelName(m_state.modelNumber)).left(127),
                QString::fromUtf8(text::textIn(m_state.language, "关闭", "Exit")));
    hide();
}

} // namespace talvik::shell
