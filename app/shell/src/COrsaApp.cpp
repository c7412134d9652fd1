#include "talvik/shell/COrsaApp.h"

#include "talvik/model/CAppState.h"
#include "talvik/shell/CKeyboardSearch.h"
#include "talvik/shell/COrsaDlg.h"
#include "talvik/shell/InstallPaths.h"
#include "talvik/shell/UiScale.h"

#include "talvik/layout/SkinLayout.h"
#include "talvik/skin/SkinPictureFile.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QResource>
#include <QScreen>

#include <array>
#include <future>

namespace talvik::shell {

int detectModel(const std::function<int()>& detect, const std::function<void(int)>& sleep,
                const std::function<bool(int retry)>& retrying) {
    int model = detect();
    for (int retry = 1; model == 0 && retry <= COrsaApp::kDetectRetries; ++retry) {
        if (retrying && !retrying(retry)) {
            break;
        }
        model = detect();
        sleep(COrsaApp::kDetectSleepMs);
    }
    return model;
}

COrsaApp::COrsaApp(model::CAppState& state)
    : m_state(state), m_dialogLook(std::make_unique<CStandardDialogLook>()) {
    followLanguage();
}

void COrsaApp::followLanguage() {
    m_dialogLook->useLanguage(m_state.language);
}

COrsaApp::~COrsaApp() {
    releaseSkin();
}

QString COrsaApp::defaultResourcePath() {
    return dataFilePath(QStringLiteral("TalvikRES.rcc"));
}

namespace {

// The skin file is 4.8 MB; its pictures at every resolution would have to grow more than
// tenfold to come near this. A larger file is not our skin, and registering it could take
// the whole of it into memory before it is found wrong.
constexpr qint64 kMaxSkinFileBytes = qint64{64} * 1024 * 1024;

QString missingPictureMessage(int id) {
    return QStringLiteral("The skin file TalvikRES.rcc has no picture %1.\n"
                          "皮肤文件 TalvikRES.rcc 缺少图片 %1。")
        .arg(id);
}

bool loadPicture(int id, int resolution, QImage& into, QString& error) {
    into = skin::readSkinPicture(QString::fromStdString(layout::picturePath(id, resolution)));
    if (into.isNull()) {
        error = missingPictureMessage(id);
        return false;
    }
    into.setDevicePixelRatio(resolution);
    return true;
}

// Runs the main window until it ends. Not QDialog::exec: hiding the window in
// the notification area would end that loop, and the program with it. The
// window is the program, so closing a message box while it is hidden must not
// quit either.
void runUntilFinished(QDialog& window) {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QEventLoop loop;
    QObject::connect(&window, &QDialog::finished, &loop, &QEventLoop::quit);
    window.show();
    loop.exec();
}

} // namespace

int COrsaApp::resolutionFor(float scale) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen != nullptr ? screen->devicePixelRatio() : 1.0;
    return layout::pictureResolution(static_cast<double>(scale) * ratio);
}

bool COrsaApp::registerSkin(QString& error, const QString& path) {
    if (!m_hResModule.isEmpty()) {
        return true;
    }
    const QString file = path.isEmpty() ? defaultResourcePath() : path;
    const QFileInfo info(file);
    if (info.isFile() && info.size() > kMaxSkinFileBytes) {
        error = QStringLiteral("The skin file %1 is larger than %2 MB and was not read.\n"
                               "皮肤文件 %1 超过 %2 MB，没有读取。\n\n"
                               "Talvik needs TalvikRES.rcc beside the program or in its installed "
                               "data folder (share/talvik); reinstall or rebuild it.")
                    .arg(QDir::toNativeSeparators(file))
                    .arg(kMaxSkinFileBytes / (1024 * 1024));
        return false;
    }
    if (!info.isFile() || !QResource::registerResource(file)) {
        error =
            QStringLiteral("The skin file was not found or cannot be read:\n%1\n"
                           "找不到或无法读取皮肤文件。\n\n"
                           "Talvik needs TalvikRES.rcc beside the program or in its installed data "
                           "folder (share/talvik); reinstall or rebuild it.")
                .arg(QDir::toNativeSeparators(file));
        return false;
    }
    m_hResModule = file;
    const QScreen* screen = QGuiApplication::primaryScreen();
    m_resolution = resolutionFor(uiScale(screen != nullptr ? screen->geometry().height() : 0));
    // From its pixels, like every picture: a PNG here would be start-up's
    // only image read through the image plugins, and looking those up costs
    // more than the window's own pictures.
    const QImage icon =
        skin::readSkinPicture(QString::fromStdString(layout::iconPath(layout::kProgramIconId)));
    m_icon = icon.isNull() ? QIcon() : QIcon(QPixmap::fromImage(icon));
    return true;
}

bool COrsaApp::loadSkin(int model, QString& error, const QString& path, int resolution) {
    return startSkin(model, error, path, resolution) && finishSkin(error);
}

bool COrsaApp::startSkin(int model, QString& error, const QString& path, int resolution) {
    releaseSkin();
    if (!registerSkin(error, path)) {
        return false;
    }
    m_model = model;
    startMainPictures(resolution <= 0 ? m_resolution : resolution);
    return true;
}

bool COrsaApp::finishSkin(QString& error) {
    if (!finishMainPictures(error)) {
        releaseSkin();
        return false;
    }
    return true;
}

// The main window's pictures for its first paint, decoding. Decoding them is
// most of start-up's own work: they decode side by side, and beside whatever
// the caller does meanwhile.
struct COrsaApp::SPendingPictures {
    static constexpr std::size_t kCount = 2; // normal, active
    int resolution = 1;
    std::array<QImage, kCount> images;
    std::array<QString, kCount> errors;
    std::array<std::future<bool>, kCount> loads;
};

void COrsaApp::startMainPictures(int resolution) {
    const layout::MainPictureIds ids = layout::mainPictureIds(m_model);
    m_pending = std::make_unique<SPendingPictures>();
    SPendingPictures& pending = *m_pending;
    pending.resolution = resolution;
    const std::array<int, SPendingPictures::kCount> order{ids.normal, ids.active};
    for (std::size_t n = 0; n < order.size(); ++n) {
        pending.loads[n] = std::async(std::launch::async, [&pending, n, id = order[n]] {
            return loadPicture(id, pending.resolution, pending.images[n], pending.errors[n]);
        });
    }
}

bool COrsaApp::finishMainPictures(QString& error) {
    if (!m_pending) {
        return true;
    }
    const std::unique_ptr<SPendingPictures> pending = std::move(m_pending);
    bool loaded = true;
    for (std::size_t n = 0; n < pending->loads.size(); ++n) {
        if (!pending->loads[n].get() && loaded) {
            error = pending->errors[n];
            loaded = false;
        }
    }
    if (!loaded) {
        return false;
    }
    const auto& [normal, active] = pending->images;
    // The window copies rectangles between its pictures: they must agree.
    if (active.size() != normal.size()) {
        error = QStringLiteral("The main window pictures of TalvikRES.rcc differ in size.\n"
                               "皮肤文件中的主窗口图片尺寸不一致。");
        return false;
    }
    // The pointer-over picture is read later, but a skin without it is as
    // incomplete as one without the others.
    const int hover = layout::mainPictureIds(m_model).hover;
    if (!QResource(QString::fromStdString(layout::picturePath(hover, pending->resolution)))
             .isValid()) {
        error = missingPictureMessage(hover);
        return false;
    }
    m_bmpMainNormal = normal;
    m_bmpMainActive = active;
    m_bmpMainHover = QImage();
    m_hoverRead = false;
    m_resolution = pending->resolution;
    m_pictures.clear();
    return true;
}

bool COrsaApp::useResolution(int resolution, QString& error) {
    if (!finishMainPictures(error)) {
        return false;
    }
    if (resolution == m_resolution) {
        return true;
    }
    startMainPictures(resolution);
    return finishMainPictures(error);
}

const QImage* COrsaApp::mainHover() {
    if (!m_hoverRead && !m_bmpMainNormal.isNull()) {
        m_hoverRead = true;
        QString ignored;
        QImage hover;
        if (loadPicture(layout::mainPictureIds(m_model).hover, m_resolution, hover, ignored) &&
            hover.size() == m_bmpMainNormal.size()) {
            m_bmpMainHover = hover;
        }
    }
    return m_bmpMainHover.isNull() ? nullptr : &m_bmpMainHover;
}

const QImage& COrsaApp::picture(int id) {
    auto [it, added] = m_pictures.try_emplace(id);
    if (added) {
        QString ignored;
        loadPicture(id, m_resolution, it->second, ignored);
    }
    return it->second;
}

void COrsaApp::releaseSkin() {
    m_pending.reset(); // waits for pictures still decoding from the resource
    m_bmpMainNormal = QImage();
    m_bmpMainHover = QImage();
    m_hoverRead = false;
    m_bmpMainActive = QImage();
    m_pictures.clear();
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
    if (!hooks.fail) {
        hooks.fail = [](const QString& text) {
            QMessageBox::critical(nullptr, QStringLiteral("Talvik"), text);
        };
    }
    // The program keeps no settings; the name only says whose program this is.
    QCoreApplication::setOrganizationName(QStringLiteral("应用程序向导生成的本地应用程序"));

    for (bool first = true;; first = false) {
        {
            CKeyboardSearch search(*this, hooks);
            m_state.modelNumber = search.run();
            if (search.quitRequested()) {
                releaseSkin();
                return 0;
            }
        }
        QString error;
        if (!startSkin(m_state.modelNumber, error, hooks.resourcePath)) {
            hooks.fail(error);
            return 1;
        }
        const text::Language language = m_state.language;
        m_state.buildNameTables();
        if (!first) {
            m_state.language = language; // a start for another model keeps the user's language
        }
        followLanguage();

        bool restart = false;
        {
            COrsaDlg dialog(*this, m_state);
            // The window is built while its pictures decode.
            if (!finishSkin(error)) {
                hooks.fail(error);
                return 1;
            }
            if (hooks.prepareWindow) {
                hooks.prepareWindow(dialog);
            }
            if (dialog.initialise()) {
                runUntilFinished(dialog);
            }
            restart = dialog.restartRequested();
        }
        releaseSkin();
        if (!restart) {
            return 0;
        }
        // A keyboard of another model took the old one's place: start again as
        // at start-up, for it.
        m_state.device.__closeDev();
        m_state.forgetKeyboard();
    }
}

} // namespace talvik::shell
