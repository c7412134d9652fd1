#pragma once

// The application object: finds the keyboard model, loads the skin for it,
// creates the brush and fonts every window draws with, builds the name
// tables, runs the main window and releases everything afterwards.

#include "talvik/model/Forward.h"
#include "talvik/shell/CFontTable.h"
#include "talvik/shell/CSkinSource.h"
#include "talvik/shell/CStandardDialogLook.h"
#include "talvik/shell/PaletteColour.h"

#include <QBrush>
#include <QIcon>
#include <QImage>
#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace talvik::shell {

class COrsaDlg;
class COrsaDialogWaitKeyboard;

// What start-up reaches outside itself; tests replace the detector, the
// sleep, the skin file and the place messages go. Empty members keep the
// program's own behaviour.
struct CStartupHooks {
    std::function<int()> detect;                         // the model number, 0 for none
    std::function<void(int ms)> sleep;                   // between detection retries
    std::function<void(const QString& text)> fail;       // a message that stops the program
    QString resourcePath;                                // TalvikRES.rcc; empty: beside the program
    std::function<void(COrsaDlg& window)> prepareWindow; // before the main window initialises
    // Before the window that shows the search for the keyboard initialises.
    std::function<void(COrsaDialogWaitKeyboard& window)> prepareWait = {};
};

// Asks for the model once and, while the answer is 0, up to 11 more times,
// sleeping 1000 ms after each retry. Before retry n (1..11) `retrying(n)`,
// when given, may end the search by answering false. Returns the last answer.
int detectModel(const std::function<int()>& detect, const std::function<void(int)>& sleep,
                const std::function<bool(int retry)>& retrying = {});

class COrsaApp : public CSkinSource {
public:
    static constexpr int kDetectRetries = 11;
    static constexpr int kDetectSleepMs = 1000;

    explicit COrsaApp(model::CAppState& state);
    ~COrsaApp();
    COrsaApp(const COrsaApp&) = delete;
    COrsaApp& operator=(const COrsaApp&) = delete;

    // The whole start-up; returns the process exit code (0 after the main
    // window has run, 1 when the skin could not be loaded). When the main
    // window ends for a keyboard of another model, starts again for it.
    int run(CStartupHooks hooks = {});

    // Registers TalvikRES (the file beside the program unless `path` is
    // given) and loads the model's main pictures drawn at `resolution` (0:
    // the resolution the primary screen needs). False with a message in
    // `error` when the file or a picture is missing; nothing stays
    // registered then.
    bool loadSkin(int model, QString& error, const QString& path = {}, int resolution = 0);
    // loadSkin in two steps, so that the caller can build its window while
    // the main pictures decode on other threads: startSkin registers the file
    // and starts the decoding, finishSkin waits for it. Both false with a
    // message in `error`, nothing registered then.
    bool startSkin(int model, QString& error, const QString& path = {}, int resolution = 0);
    bool finishSkin(QString& error);
    // Registers TalvikRES alone (if it is not yet), for windows that come
    // before the model is known; picture() then loads at the resolution the
    // primary screen needs. False with a message in `error`.
    bool registerSkin(QString& error, const QString& path = {});
    // Switches every picture to the set drawn at `resolution`, for a window
    // that learns its scale after start-up. False, with the pictures as they
    // were, when the set lacks one.
    bool useResolution(int resolution, QString& error);
    int skinResolution() const { return m_resolution; }
    void releaseSkin();
    static QString defaultResourcePath();
    // The resolution a window of UI scale `scale` needs on the primary screen.
    static int resolutionFor(float scale);

    // Skin picture `id` at the current resolution, loaded on first use (its
    // device pixel ratio is the resolution). A null image when the skin has
    // no such picture.
    const QImage& picture(int id) override;
    const CFontTable& fonts() const override { return m_fonts; }

    model::CAppState& state() { return m_state; }
    // Qt's own dialogs in the skin's look; their buttons in the program's
    // language, which followLanguage brings up to date after a switch.
    CStandardDialogLook& dialogLook() { return *m_dialogLook; }
    void followLanguage();

    // What every window reads.
    QImage m_bmpMainNormal;
    QImage m_bmpMainActive;
    // The main window's pointer-over picture, read when the pointer first
    // needs it: at start-up it would cost a third of the pictures' time and
    // memory for a look most starts never show before the user moves. Null
    // when it cannot be read or does not match the normal picture's size.
    const QImage* mainHover();
    QIcon m_icon;
    QBrush m_editBrush{paletteColour(layout::kInfoBackground)};
    CFontTable m_fonts;

private:
    struct SPendingPictures;
    void startMainPictures(int resolution);
    bool finishMainPictures(QString& error);

    model::CAppState& m_state;
    QString m_hResModule; // the registered resource file, empty when none
    int m_model = 0;
    int m_resolution = 1;
    QImage m_bmpMainHover;
    bool m_hoverRead = false;                    // mainHover() has tried at m_resolution
    std::map<int, QImage> m_pictures;            // what picture() has loaded at m_resolution
    std::unique_ptr<SPendingPictures> m_pending; // main pictures still decoding
    std::unique_ptr<CStandardDialogLook> m_dialogLook;
};

} // namespace talvik::shell
