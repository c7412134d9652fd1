#include "talvik/shell/COrsaApp.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/COrsaDlg.h"
#include "talvik/shell/InstallPaths.h"

#include "layout/SkinLayout.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QResource>

#include <chrono>
#include <thread>

namespace talvik::shell {

int detectModel(const std::function<int()>& detect, const std::function<void(int)>& sleep) {
    int model = detect();
    for (int retry = 0; model == 0 && retry < COrsaApp::kDetectRetries; ++retry) {
        model = detect();
        sleep(COrsaApp::kDetectSleepMs);
    }
    return model;
}

COrsaApp::COrsaApp(CAppState& state) : m_state(state) {}

COrsaApp::~COrsaApp() {
    releaseSkin();
}

QString COrsaApp::defaultResourcePath() {
    return dataFilePath(QStringLiteral("TalvikRES.rcc"));
}

namespace {

bool loadPicture(int id, QImage& into, QString& error) {
    const QString path = QString::fromStdString(layout::picturePath(id));
    if (!into.load(path)) {
        error = QStringLiteral("The skin file TalvikRES.rcc has no picture %1.\n"
                               "皮肤文件 TalvikRES.rcc 缺少图片 %1。")
                    .arg(id);
        return false;
    }
    return true;
}

} // namespace

bool COrsaApp::loadSkin(int model, QString& error, const QString& path) {
    releaseSkin();
    const QString file = path.isEmpty() ? defaultResourcePath() : path;
    if (!QFileInfo::exists(file) || !QResource::registerResource(file)) {
        error =
            QStringLiteral("The skin file was not found or cannot be read:\n%1\n"
                           "找不到或无法读取皮肤文件。\n\n"
                           "Talvik needs TalvikRES.rcc beside the program or in its installed data "
                           "folder (share/talvik); reinstall or rebuild it.")
                .arg(QDir::toNativeSeparators(file));
        return false;
    }
    m_hResModule = file;
    const layout::MainPictureIds ids = layout::mainPictureIds(model);
    if (!loadPicture(ids.normal, m_bmpMainNormal, error) ||
        !loadPicture(ids.hover, m_bmpMainHover, error) ||
        !loadPicture(ids.active, m_bmpMainActive, error)) {
        releaseSkin();
        return false;
    }
    // The window copies rectangles between its pictures: they must agree.
    if (m_bmpMainHover.size() != m_bmpMainNormal.size() ||
        m_bmpMainActive.size() != m_bmpMainNormal.size()) {
        error = QStringLiteral("The main window pictures of TalvikRES.rcc differ in size.\n"
                               "皮肤文件中的主窗口图片尺寸不一致。");
        releaseSkin();
        return false;
    }
    m_icon = QIcon(QString::fromStdString(layout::iconPath(layout::kProgramIconId)));
    return true;
}

void COrsaApp::releaseSkin() {
    m_bmpMainNormal = QImage();
    m_bmpMainHover = QImage();
    m_bmpMainActive = QImage();
    m_icon = QIcon();
    if (!m_hResModule.isEmpty()) {
        QResource::unregisterResource(m_hResModule);
        m_hResModule.clear();
    }
}

int COrsaApp::run(CStartupHooks hooks) {
    if (!hooks.detect) {
        hooks.detect = [this] { return m_state.device.DetectDeviceType(); };
    }
    if (!hooks.sleep) {
        hooks.sleep = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    }
    if (!hooks.fail) {
        hooks.fail = [](const QString& text) {
            QMessageBox::critical(nullptr, QStringLiteral("Talvik"), text);
        };
    }
    // The program keeps no settings; the name only says whose program this is.
    QCoreApplication::setOrganizationName(QStringLiteral("应用程序向导生成的本地应用程序"));

    m_state.modelNumber = detectModel(hooks.detect, hooks.sleep);
    QString error;
    if (!loadSkin(m_state.modelNumber, error, hooks.resourcePath)) {
        hooks.fail(error);
        return 1;
    }
    m_state.buildNameTables();

    COrsaDlg dialog(*this, m_state);
    if (hooks.prepareWindow) {
        hooks.prepareWindow(dialog);
    }
    if (dialog.initialise()) {
        dialog.exec();
    }
    releaseSkin();
    return 0;
}

} // namespace talvik::shell
