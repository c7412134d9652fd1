#include "talvik/shell/COrsaDlg.h"

#include "talvik/jobs/JobText.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaApp.h"
#include "talvik/shell/DeviceMessages.h"
#include "talvik/shell/InstallPaths.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/UiScale.h"
#include "talvik/text/Language.h"

#include "talvik/layout/SkinLayout.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace talvik::shell {

COrsaDlg::COrsaDlg(COrsaApp& app, model::CAppState& state, QWidget* parent)
    : CSkinWindow(parent), m_app(app), m_state(state), m_info(this),
      m_link(CKeyboardLink::of(state.device)),
      m_profiles(state, [this](const QString& text) { tell(QMessageBox::Warning, text); }),
      m_tray(
          [this] {
              showNormal();
              raise();
              activateWindow();
          },
          // Like Cancel: the window ends without the exit button's questions.
          [this] { reject(); }) {
    m_message = [this](const QString& text) {
        // No caption, just OK: the texts stand on their own.
        QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, this);
        box.exec();
    };
    m_question = [this](const QString& caption, const QString& text) {
        return QMessageBox::question(this, caption, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    m_notice = [this](QMessageBox::Icon icon, const QString& caption, const QString& text) {
        QMessageBox box(icon, caption, text, QMessageBox::Ok, this);
        box.exec();
    };
    m_profiles.setAskForPath([this](EFileDialog kind) {
        return CProfileFiles::askWithDialog(this, kind, m_state.language);
    });
    m_askExportPath = [this] { return askExportPathWithDialog(); };
    m_openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    m_trayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    m_helpFolder = dataFilePath(QStringLiteral("help"));
    m_hIcon = app.m_icon;
    m_info.hide();
    m_busyTimer.setSingleShot(true);
    m_busyTimer.setInterval(kBusyMs);
    connect(&m_busyTimer, &QTimer::timeout, this, [this] { m_state.busy = 0; });
}

COrsaDlg::~COrsaDlg() = default;

bool COrsaDlg::initialise(QSize screen) {
    if (!m_link.connect()) {
        m_message(notConnectedMessage());
        return false;
    }
    if (!m_link.readVersion()) {
        m_message(unusableKeyboardMessage());
        return false;
    }
    m_watch.start(m_state.modelNumber);
    setWindowIcon(m_hIcon);
    setWindowTitle(QString::fromUtf8(text::modelName(m_state.modelNumber)));
    if (!screen.isValid()) {
        const QScreen* primary = QGuiApplication::primaryScreen();
        screen = primary != nullptr ? primary->geometry().size() : QSize(1920, 1080);
    }
    m_state.uiScale = uiScale(screen.height());
    // Pictures drawn for the size the window is shown at; without them the
    // loaded set is stretched, softer but complete.
    QString ignored;
    m_app.useResolution(COrsaApp::resolutionFor(m_state.uiScale), ignored);
    setPictures(
        &m_app.m_bmpMainNormal, [this] { return m_app.mainHover(); }, &m_app.m_bmpMainActive);
    setFonts(&m_app.m_fonts);
    fillElements();
    applyScale(m_state.uiScale, screen);
    applyShape(paletteColour(layout::kColourKey));
    prepareBackingStore();

    m_state.editLevel = 0;
    m_state.resetToDefaults();
    m_state.modified = 0;
    m_state.busy = 0;

    const SkinRect box = scaledBy(layout::kMainInfoRect, m_state.uiScale);
    m_info.place(QRect(box.left, box.top, box.width(), box.height()));
    m_info.setFont(m_app.m_fonts.scaled(13, m_state.uiScale));
    // The box holds its text before the window first paints. Text that changes
    // while the window paints marks the box for a second pass in the same
    // exposure, and that pass waits for the display to take the first one.
    m_info.setTextIfChanged(infoHeader());
    m_info.show();

    for (std::size_t mode = 0; mode < m_modeColors.size(); ++mode) {
        m_modeColors[mode] = paletteColour(layout::modeColors()[mode]);
    }
    watchDevices();
    return true;
}

QString COrsaDlg::unusableKeyboardMessage() const {
    const CAccessReport report = m_link.access ? m_link.access() : CAccessReport{};
    if (report.access == CDeviceAccess::NoPermission) {
        return noPermissionMessage(QString::fromStdString(report.node), installedUdevRule());
    }
    return occupiedMessage();
}

void COrsaDlg::fillElements() {
    std::vector<SkinElement>& table = elements();
    table.assign(kElementCount, SkinElement());
    for (const layout::ElementSpec& spec : layout::mainElements(m_state.modelNumber)) {
        table[static_cast<std::size_t>(spec.slot)] = makeSkinElement(spec);
        if (spec.keyIndex >= 1 && spec.keyIndex <= model::kKeyCount) {
            m_keyLegends[static_cast<std::size_t>(spec.keyIndex)] =
                QString::fromStdString(spec.legend);
        }
    }
}

void COrsaDlg::watchDevices() {
    // A vanished hidraw node shows in /dev at once; the poll also catches the
    // simulated keyboard being unplugged, which leaves no trace in /dev.
    connect(&m_devicePoll, &QTimer::timeout, this, [this] { checkDevice(); });
    m_devicePoll.start(kDevicePollMs);
    if (QDir(QStringLiteral("/dev")).exists()) {
        m_devWatch.addPath(QStringLiteral("/dev"));
        connect(&m_devWatch, &QFileSystemWatcher::directoryChanged, this,
                [this] { checkDeviceSoon(); });
    }
}

void COrsaDlg::checkDeviceSoon() {
    // /dev changes many times while a device comes and goes; the keyboard is
    // searched for at most once in kDevicePollMs, by moving the poll forward.
    const qint64 since = m_lastDeviceCheck.isValid() ? m_lastDeviceCheck.elapsed() : kDevicePollMs;
    if (since >= kDevicePollMs) {
        checkDevice();
    } else {
        m_devicePoll.start(static_cast<int>(kDevicePollMs - since));
    }
}

void COrsaDlg::checkDevice() {
    if (m_checkingDevice) {
        return;
    }
    m_checkingDevice = true;
    m_lastDeviceCheck.start();
    if (m_devicePoll.isActive()) {
        m_devicePoll.start(kDevicePollMs);
    }
    const CKeyboardWatch::SChange seen = m_watch.check();
    switch (seen.change) {
    case CKeyboardWatch::EChange::None:
        break;
    case CKeyboardWatch::EChange::Gone:
        update();
        break;
    case CKeyboardWatch::EChange::Back:
        if (!seen.sameKeyboard) {
            // Another keyboard of the model, or one that changed while away:
            // the first write backs up by reading it again.
            m_state.keyboard.forget();
        }
        update();
        break;
    case CKeyboardWatch::EChange::OtherModel:
        offerRestartFor(seen.model);
        break;
    }
    m_checkingDevice = false;
}

bool COrsaDlg::keyboardThere(const QString& caption) {
    if (m_watch.connected()) {
        return true;
    }
    m_notice(QMessageBox::Warning, caption,
             QString::fromUtf8(jobs::notConnectedText(m_state.language)));
    return false;
}

} // namespace talvik::shell
