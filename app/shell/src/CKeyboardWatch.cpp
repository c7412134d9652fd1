#include "talvik/shell/CKeyboardWatch.h"

namespace talvik::shell {

void CKeyboardWatch::start(int model) {
    m_model = model;
    m_version = m_link.versionText ? m_link.versionText() : std::wstring();
    m_gone = false;
    m_closePending = false;
    m_declinedModel = 0;
}

bool CKeyboardWatch::whenIdle(const std::function<void()>& step) {
    if (m_link.whenIdle) {
        return m_link.whenIdle(step);
    }
    step();
    return true;
}

bool CKeyboardWatch::closeWhenIdle() {
    return whenIdle([this] {
        if (m_link.close) {
            m_link.close();
        }
    });
}

CKeyboardWatch::SChange CKeyboardWatch::check() {
    if (!m_gone) {
        if (!lost() && m_link.present()) {
            return {};
        }
        // A job still running on the dead connection fails by itself; the
        // connection is closed once it has ended.
        m_gone = true;
        m_closePending = !closeWhenIdle();
        return {EChange::Gone};
    }
    if (m_closePending) {
        m_closePending = !closeWhenIdle();
        if (m_closePending) {
            return {};
        }
    }
    const int model = m_link.model ? m_link.model() : (m_link.present() ? m_model : 0);
    if (model == 0) {
        m_declinedModel = 0;
        return {};
    }
    if (model != m_model) {
        if (model == m_declinedModel) {
            return {};
        }
        return {EChange::OtherModel, false, model};
    }
    bool back = false;
    // A node that has only just appeared may not be open to us yet (the
    // desktop's device rules still at work): closed again, and tried at the
    // next look.
    const bool ran = whenIdle([this, &back] {
        back = m_link.connect() && m_link.readVersion();
        if (!back && m_link.close) {
            m_link.close();
        }
    });
    if (!ran || !back) {
        return {};
    }
    m_gone = false;
    const std::wstring version = m_link.versionText ? m_link.versionText() : std::wstring();
    const bool same = !version.empty() && version == m_version;
    m_version = version;
    return {EChange::Back, same, model};
}

} // namespace talvik::shell
