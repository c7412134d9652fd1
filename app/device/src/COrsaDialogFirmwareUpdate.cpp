#include "talvik/device/COrsaDialogFirmwareUpdate.h"

#include "talvik/backup/BackupText.h"
#include "talvik/device/CFirmwareDownload.h"
#include "talvik/jobs/FirmwareJob.h"
#include "talvik/jobs/JobText.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/CFontTable.h"
#include "talvik/shell/CSkinSource.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/UiScale.h"
#include "talvik/text/Language.h"

#include "talvik/layout/DeviceLayout.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

namespace talvik::device {
namespace {

namespace id = layout::firmware_id;

constexpr int kProgressEnd = 150; // the library's progress runs to 150
constexpr int kBarFullWidth = 290;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

COrsaDialogFirmwareUpdate::COrsaDialogFirmwareUpdate(shell::CSkinSource& skin,
                                                     model::CAppState& state,
                                                     CFirmwareDownload& download, QWidget* parent)
    : CDeviceDialog(skin, state, parent), m_download(download),
      m_prompts(CDevicePrompts::interactive(this)), m_versionBox(this), m_fileBox(this) {
    m_readVersion = [this]() -> std::optional<QString> {
        wchar_t version[64] = {};
        if (!m_state.device.ReadKeyboardVersion(version)) {
            return std::nullopt;
        }
        return QString::fromWCharArray(version);
    };
    m_versionBox.hide();
    m_fileBox.hide();
}

COrsaDialogFirmwareUpdate::~COrsaDialogFirmwareUpdate() {
    cancelBackup();
    if (m_download.attachedWindow() == handle()) {
        m_download.attach(0);
    }
}

QString COrsaDialogFirmwareUpdate::requiredPrefix(int model) {
    return fromUtf8(text::modelName(model)) + QLatin1Char('_');
}

bool COrsaDialogFirmwareUpdate::initialise(QSize screen) {
    if (!setUpSkin(shell::ESkinWindow::Firmware, m_prompts,
                   {layout::kFirmwarePictureNormal, layout::kFirmwarePictureHover,
                    layout::kFirmwarePictureActive},
                   layout::firmwareElements(), layout::kFirmwareColourKey, screen)) {
        return false;
    }
    m_ready = true;
    m_percent = 0;
    m_state.progressWindow = handle();
    setUpBox(m_versionBox, layout::kFirmwareVersionBox);
    setUpBox(m_fileBox, layout::kFirmwareFileBox);
    // A screen reader names the boxes by what they hold; the language cannot
    // change while this dialog is open.
    m_versionBox.setAccessibleName(text("固件版本", "Firmware version"));
    m_fileBox.setAccessibleName(text("固件文件", "Firmware file"));
    m_download.attach(handle());
    if (m_download.running()) {
        // A download started from an earlier dialog goes on: this one shows
        // it, and leaves the keyboard, which is busy with it, unasked.
        m_ready = false;
        m_percent = m_download.progress() * 100 / kProgressEnd;
        m_filePath = QFile::decodeName(m_download.path().c_str());
        m_fileName = QFileInfo(m_filePath).fileName();
        m_fileBox.setText(m_filePath);
        return true;
    }
    // A transfer cancelled a moment ago may still be using the keyboard; the
    // version can be asked for with Get Version once it has ended, or once a
    // keyboard that is not there has come back.
    if (!m_download.keyboardBusy() && m_state.device.isConnected()) {
        queryVersion();
    }
    return true;
}

void COrsaDialogFirmwareUpdate::setUpBox(QLineEdit& box, const layout::SkinRect& design) {
    const layout::SkinRect r = shell::scaledBy(design, m_state.uiScale);
    box.setGeometry(r.left, r.top, r.width(), r.height());
    box.setFont(m_skin.fonts().scaled(13, m_state.uiScale));
    box.setReadOnly(true);
    box.setFrame(false);
    QPalette colours = box.palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::Text, shell::paletteColour(layout::kAccentOrange));
        colours.setColor(group, QPalette::Base, shell::paletteColour(layout::kInfoBackground));
    }
    box.setPalette(colours);
    box.show();
}

void COrsaDialogFirmwareUpdate::onElementClicked(int index) {
    if (index >= 0) {
        runCommand(elements()[static_cast<std::size_t>(index)].id);
    }
}

void COrsaDialogFirmwareUpdate::runCommand(int command) {
    switch (command) {
    case id::GetVersion:
        queryVersion();
        break;
    case id::Open:
        openFile();
        break;
    case id::Update:
        startDownload();
        break;
    case id::Close:
    case id::Cancel:
        reject();
        break;
    default:
        break;
    }
}

void COrsaDialogFirmwareUpdate::queryVersion() {
    if (m_download.running()) {
        // A query now would put its report between the image's records.
        m_prompts.message(text("正在下载固件，下载完成后才能读取版本。",
                               "A firmware download is running. The version can be read when it "
                               "has finished."));
        return;
    }
    if (m_download.keyboardBusy()) {
        m_prompts.message(busyText());
        return;
    }
    if (!keyboardThere()) {
        return;
    }
    const std::optional<QString> version = m_readVersion();
    if (!version) {
        m_prompts.message(
            text("读取键盘版本失败", "Failed on reading keyboard version infomation"));
        return;
    }
    m_versionBox.setText(*version);
    m_versionBox.setCursorPosition(0);
}

void COrsaDialogFirmwareUpdate::openFile() {
    const QString path = m_prompts.openFirmware();
    if (path.isEmpty()) {
        return;
    }
    m_fileName = QFileInfo(path).fileName();
    if (!m_fileName.startsWith(requiredPrefix(m_state.modelNumber))) {
        m_prompts.warning(modelName(),
                          text("固件不匹配，请选择", "The firmware does not match,please select ") +
                              modelName());
        return;
    }
    m_filePath = path;
    m_fileBox.setText(path);
    m_fileBox.setCursorPosition(static_cast<int>(path.size())); // the name is what tells
    m_fileBox.setToolTip(path);
    // Ready for a download, unless one is still running on this keyboard.
    m_ready = !m_download.running() && !backingUp();
}

void COrsaDialogFirmwareUpdate::startDownload() {
    if (!m_fileName.startsWith(requiredPrefix(m_state.modelNumber))) {
        m_prompts.warning(modelName(), QStringLiteral("The firmware does not match"));
        return;
    }
    if (!m_ready) {
        return; // a backup or a download is running
    }
    if (!keyboardThere()) {
        return;
    }
    if (m_backupFolder.empty()) {
        beginDownload();
        return;
    }
    // A file the download would refuse is no reason to read the keyboard.
    const jobs::FirmwareResult checked =
        jobs::checkFirmwareFile(QFile::encodeName(m_filePath).toStdString());
    if (checked != jobs::kFirmwareDone) {
        m_ready = false;
        showResult(checked);
        return;
    }
    startBackup();
}

void COrsaDialogFirmwareUpdate::startBackup() {
    auto run =
        std::make_shared<backup::CBackupJob>(backup::EBackupOf::KeysAndLights, m_backupFolder);
    auto control = m_sleep ? std::make_shared<jobs::CJobControl>(m_sleep)
                           : std::make_shared<jobs::CJobControl>();
    // With everything known already the worker has no read to make and ends at once.
    const bool started = m_download.worker().start([run, control] { run->run(*control); },
                                                   [&] {
                                                       m_state.progressWindow = handle();
                                                       run->takeFromModel(m_state);
                                                   });
    if (!started) {
        m_prompts.message(busyText());
        return;
    }
    m_backupRun = run;
    m_backupControl = control;
    m_backupResult = {};
    m_ready = false;
    m_percent = 0;
    repaintBar();
}

void COrsaDialogFirmwareUpdate::finishBackup() {
    if (!m_backupRun->finished()) {
        return;
    }
    m_backupResult = m_backupRun->giveToModel(m_state);
    m_backupRun.reset();
    m_backupControl.reset();
    if (!m_backupResult.ok() &&
        !askToWriteWithoutBackup(m_prompts, m_backupResult, m_backupFolder, m_state.language)) {
        m_ready = true;
        m_percent = 0;
        repaintBar();
        return;
    }
    // The backup's worker posts its done message just before it returns.
    m_downloadPending = true;
    m_download.worker().notifyWhenFree(handle());
}

void COrsaDialogFirmwareUpdate::beginDownload() {
    m_downloadPending = false;
    if (!m_download.start(QFile::encodeName(m_filePath).toStdString())) {
        m_prompts.message(busyText());
        m_ready = true;
        m_percent = 0;
        repaintBar();
        return;
    }
    m_ready = false;
    m_percent = 1;
    repaintBar();
}

void COrsaDialogFirmwareUpdate::cancelBackup() {
    if (m_backupControl) {
        m_backupControl->cancel();
    }
    m_backupRun.reset();
    m_backupControl.reset();
    m_downloadPending = false;
}

bool COrsaDialogFirmwareUpdate::keyboardThere() {
    if (m_state.device.isConnected()) {
        return true;
    }
    m_prompts.message(fromUtf8(jobs::notConnectedText(m_state.language)));
    return false;
}

QString COrsaDialogFirmwareUpdate::busyText() const {
    return text("键盘正忙于上一次读写，请等它结束后再试。",
                "The keyboard is still busy with an earlier transfer. Try again when it has "
                "ended.");
}

void COrsaDialogFirmwareUpdate::onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    if (message == WM_TALVIK_PROGRESS && m_backupRun) {
        // The read's steps count as in a read of everything, up to a full bar.
        m_percent =
            std::min(100, jobs::progressPercent(jobs::EJob::ReadAll, static_cast<int>(wParam)));
        repaintBar();
    } else if (message == WM_TALVIK_PROGRESS) {
        m_percent = static_cast<int>(wParam) * 100 / kProgressEnd;
        m_ready = false;
        repaintBar();
    } else if (message == WM_TALVIK_JOBDONE && m_backupRun) {
        finishBackup();
    } else if (message == WM_TALVIK_JOBDONE && wParam != 0) {
        // (A backup cancelled with the dialog may still post its done message, 0.)
        showResult(static_cast<int>(wParam));
    } else if (message == jobs::WM_TALVIK_WORKERFREE && m_downloadPending) {
        beginDownload();
    }
}

void COrsaDialogFirmwareUpdate::showResult(int result) {
    if (result != jobs::kFirmwareNotOpened) {
        m_ready = true;
    }
    m_prompts.message(fromUtf8(jobs::firmwareResultText(result, m_state.language)));
}

void COrsaDialogFirmwareUpdate::reject() {
    if (m_download.running()) {
        m_prompts.message(text("固件仍在下载中。请保持键盘连接，直至下载完成。",
                               "The firmware download goes on. Keep the keyboard connected until "
                               "it has finished."));
    }
    // Nothing has been sent yet: the download goes with the dialog.
    cancelBackup();
    // From now on a result is shown without this dialog.
    if (m_download.attachedWindow() == handle()) {
        m_download.attach(0);
    }
    m_ready = true;
    m_percent = 0;
    CDeviceDialog::reject();
}

void COrsaDialogFirmwareUpdate::repaintBar() {
    const layout::SkinRect bar = layout::kFirmwareBar;
    CSkinWindow::update(shell::toQRect(
        shell::scaledBy(layout::SkinRect{bar.left - 4, bar.top - 4, bar.right + 4, bar.bottom + 4},
                        m_state.uiScale)));
    shell::announceMeterChanged(*this);
}

std::optional<shell::SMeterAccess> COrsaDialogFirmwareUpdate::meterAccess() const {
    const SkinElement& title = elements()[static_cast<std::size_t>(indexOfId(id::Title))];
    return shell::SMeterAccess{title.captionIn(language()), backingUp() ? barText() : QString(),
                               shell::toQRect(shell::scaledBy(layout::kFirmwareBar, scale())),
                               std::clamp(m_percent, 0, 100)};
}

QString COrsaDialogFirmwareUpdate::barText() const {
    if (backingUp()) {
        return QString::fromStdString(backup::backupReadingText(m_state.language));
    }
    return m_percent > 0 ? QStringLiteral("%1%").arg(m_percent) : QString();
}

void COrsaDialogFirmwareUpdate::paintBehindElements(QPainter& p) {
    const layout::SkinRect bar = layout::kFirmwareBar;
    if (m_percent > 0) {
        const int width = m_percent * kBarFullWidth / 100;
        drawPictureRect(p, skinPicture(2), QRect(bar.left, bar.top, width, bar.height()));
    }
    const QString text = barText();
    if (text.isEmpty()) {
        return;
    }
    p.setFont((*fonts())[12]);
    p.setPen(shell::paletteColour(layout::kTitleText));
    p.drawText(shell::toQRect(bar), Qt::AlignCenter, text);
}

} // namespace talvik::device
