#pragma once

// The main window: the picture of the keyboard with its 87 keys, the command
// buttons, the layer switch, the legend of assignment kinds and the
// information box about the keyboard and the key under the pointer.

#include "talvik/counters/CounterExport.h"
#include "talvik/counters/HeatScale.h"
#include "talvik/model/Forward.h"
#include "talvik/shell/CEditHistory.h"
#include "talvik/shell/CInfoBox.h"
#include "talvik/shell/CKeyboardLink.h"
#include "talvik/shell/CKeyboardWatch.h"
#include "talvik/shell/CProfileFiles.h"
#include "talvik/shell/CSkinWindow.h"
#include "talvik/shell/CTrayIcon.h"
#include "talvik/shell/MainWindowDialogs.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QIcon>
#include <QMenu>
#include <QMessageBox>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <optional>

namespace talvik::profile {
struct SProfileResult;
} // namespace talvik::profile

namespace talvik::layout {
struct PanelText;
}

namespace talvik::shell {

class COrsaApp;

class COrsaDlg : public CSkinWindow {
public:
    static constexpr int kElementCount = 124;
    // How often the window checks that the keyboard is still there, or back;
    // also the least time between two searches for it.
    static constexpr int kDevicePollMs = 1000;
    // After a profile was opened, clicks are dropped this long (timer 1), so
    // the click that closed the file dialog cannot reach the keyboard picture.
    static constexpr int kBusyMs = 500;

    using EFileDialog = CProfileFiles::EDialog;
    // Asks for a profile's path; empty when the user cancels.
    using FileDialogSink = CProfileFiles::AskForPath;
    // A message captioned with the model name.
    using NoticeSink =
        std::function<void(QMessageBox::Icon icon, const QString& caption, const QString& text)>;

    COrsaDlg(COrsaApp& app, model::CAppState& state, QWidget* parent = nullptr);
    ~COrsaDlg() override;

    // Replaces how the window reaches the keyboard and how it shows messages.
    void setKeyboardLink(CKeyboardLink link) { m_link = std::move(link); }
    void setMessageSink(std::function<void(const QString&)> sink) { m_message = std::move(sink); }
    // Yes/No questions: true for Yes.
    void setQuestionSink(std::function<bool(const QString& caption, const QString& text)> sink) {
        m_question = std::move(sink);
    }
    void setNoticeSink(NoticeSink sink) { m_notice = std::move(sink); }
    void setFileDialogSink(FileDialogSink sink) { m_profiles.setAskForPath(std::move(sink)); }
    // Opens the help page with the desktop's viewer; false when nothing could.
    void setUrlOpener(std::function<bool(const QUrl&)> opener) { m_openUrl = std::move(opener); }
    // The folder of the help pages; by default "help" beside the program.
    void setHelpFolder(const QString& folder) { m_helpFolder = folder; }
    // The key settings and device windows the commands open.
    void setDialogs(CMainWindowDialogs dialogs) { m_dialogs = std::move(dialogs); }
    // Whether the desktop has a notification area; by default Qt's answer.
    void setTrayAvailable(std::function<bool()> available) {
        m_trayAvailable = std::move(available);
    }

    // The initialisation steps: connect, check the version, shape, scale and
    // place the window, fill and scale the table, reset the configuration.
    // False (after telling the user) when the keyboard cannot be used; the
    // window must not run then. An empty `screen` means the primary screen.
    bool initialise(QSize screen = {});

    // The information header for the current language and statistics.
    QString infoHeader();
    // The details appended for the key with number `key`.
    QString keyDetails(int key) const;
    const CInfoBox& infoBox() const { return m_info; }
    const std::array<QColor, 9>& modeColors() const { return m_modeColors; }

    // Runs the command of element id `id` as a click would.
    void runCommand(int id, int index);
    // Looks whether the keyboard is still there, or back. When it has gone the
    // connection panel says so and everything but the commands that talk to
    // the keyboard stays usable; when a keyboard of the same model is back the
    // window connects to it again, and forgets what it knew the keyboard held
    // unless its version text says it is the same one. A keyboard of another
    // model: the window says so, offers to save the configuration shown as a
    // profile and to start again for the new model (restartRequested).
    void checkDevice();
    bool keyboardGone() const { return m_watch.gone(); }
    // The window ended so that the program starts again, for another model.
    bool restartRequested() const { return m_restartRequested; }

    // The edit history: Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo, and so do the
    // entries of the menu a right-click off the keys opens. After each the information
    // box says what was undone or redone.
    CEditHistory& history() { return m_history; }
    void undo();
    void redo();
    // The right-click menu while it is open, else null.
    QMenu* contextMenu() const { return m_contextMenu.get(); }
    // Opens the right-click menu at `pos` (window coordinates) unless a key is there.
    void openContextMenu(QPoint pos);

    // The heatmap: the keyboard picture coloured by press count, once the
    // counters have been read. Ctrl+H and the right-click menu turn it on and
    // off; a click on a key turns it off. It counts all-time presses, or those
    // since an earlier kept read of the same series.
    bool canShowHeatmap() const { return m_countersRead; }
    bool heatmapShown() const { return m_heatmap; }
    void toggleHeatmap();
    // The kept reads before the last one that it continues, newest first: the
    // reads the heatmap can count from.
    const std::vector<counters::SCounterRead>& earlierReads() const { return m_earlierReads; }
    // Counts from earlierReads()[index], or all-time for none.
    void showHeatmapSince(std::optional<std::size_t> index);
    const counters::SCounterView& heatView() const { return m_heatView; }
    const counters::SHeatScale& heatScale() const { return m_heatScale; }
    // Saves the counters shown as CSV or JSON, by the name's extension, at a path
    // the sink asks for (empty: cancelled).
    void exportCounters();
    void setExportPathSink(std::function<QString()> sink) { m_askExportPath = std::move(sink); }
    // How many earlier reads the right-click menu offers.
    static constexpr std::size_t kSinceEntries = 10;

    // The help page of a language inside `folder`: its file name carries the
    // language's tag.
    static QString helpPagePath(const QString& folder, text::Language language);

    // The notification area: the icon while the window is hidden in it, what
    // a click on it does, and its menu's one item (none before the window
    // first hides there).
    const QSystemTrayIcon* trayIcon() const { return m_tray.icon(); }
    void trayActivated(QSystemTrayIcon::ActivationReason reason) { m_tray.activated(reason); }
    QAction* trayExitAction() const { return m_tray.exitAction(); }

    void done(int result) override;
    // The buttons by their captions, the language and layer switches as
    // toggles, and each key by its name and what it does on the layer shown.
    SElementAccess accessOf(int index) const override;

protected:
    text::Language language() const override;
    void beforeElements() override;
    void afterElements() override;
    void paintBehindElements(QPainter& p) override;
    void paintElement(QPainter& p, SkinElement& e, const SkinRect& r) override;
    void onElementClicked(int index) override;
    // The keys are one stop for Tab, and the arrow keys move among them.
    int focusGroup(const SkinElement& e) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void fillElements();
    void refreshActive();
    void drawMarker(QPainter& p, const SkinElement& e, const SkinRect& r);
    void drawKeyOutline(QPainter& p, const SkinRect& r) const;
    void drawPressMarks(QPainter& p, const SkinElement& e, const SkinRect& r) const;
    void drawUnwrittenMark(QPainter& p, const SkinElement& e, const SkinRect& r) const;
    void drawPanelText(QPainter& p, const layout::PanelText& t, QColor colour) const;
    // The heatmap's parts: a key on its tint (false for a key that keeps its
    // ordinary look), the scale over the legend row, the key's share.
    bool drawHeatKey(QPainter& p, const SkinElement& e, const SkinRect& r);
    void drawHeatLegend(QPainter& p) const;
    QString heatDetails(int key) const;
    // After a successful read: keeps it, and follows it in the heatmap.
    void counterReadDone();
    void updateHeatView();
    void addHeatmapEntries(QMenu& menu);
    QString askExportPathWithDialog();
    int modeOf(int key, int level) const;
    void switchLanguage(int index);
    void switchLayer(int index);
    // Opens the key settings dialog for the key of element `index` on the layer shown.
    void editKey(int index);
    void exitProgram();
    void watchDevices();
    void hideTrayIcon() { m_tray.hide(); }

    // Commands.
    void openHelp();
    void minimise();
    void saveProfileCommand();
    void openProfileCommand();
    // The backups: one opened like a profile, as one step; the folder in the file manager.
    void restoreBackupCommand();
    void openBackupsFolder();
    void openProfileAs(EFileDialog kind, SStepName step);
    void clearConfiguration();
    void readCounters();
    void writeKeys();
    void readAll();
    void runDeviceDialog(const std::function<void()>& dialog);
    // Runs a job; tells the user how it ended under `caption`. True when it succeeded.
    bool runJob(jobs::EJob job, const QString& caption);

    // Runs a command and keeps what it changed in the configuration as one step.
    void asStep(SStepName name, const std::function<void()>& command);
    SStepName keyStepName(int index);
    // Says in the information box what an undo or redo did.
    void showHistoryNote(const char* chinese, const char* english, const SStepName& step);

    // After a look found a keyboard of `model` in place of the one that went.
    void offerRestartFor(int model);
    // The look at the keyboard: now, or as soon as the least time between two has passed.
    void checkDeviceSoon();
    // True when the keyboard is there; else tells the user under `caption`.
    bool keyboardThere(const QString& caption);
    QString modelCaption() const;
    QString pick(const char* chinese, const char* english) const;
    void tell(QMessageBox::Icon icon, const QString& text);
    // Why the found keyboard does not answer, for the user.
    QString unusableKeyboardMessage() const;

    COrsaApp& m_app;
    model::CAppState& m_state;
    std::array<QColor, 9> m_modeColors;
    CInfoBox m_info;
    QIcon m_hIcon;
    CKeyboardLink m_link;
    std::function<void(const QString&)> m_message;
    std::function<bool(const QString&, const QString&)> m_question;
    NoticeSink m_notice;
    CProfileFiles m_profiles;
    std::function<bool(const QUrl&)> m_openUrl;
    std::function<bool()> m_trayAvailable;
    QString m_helpFolder;
    CTrayIcon m_tray;
    QTimer m_busyTimer; // timer 1
    CMainWindowDialogs m_dialogs;
    QString m_infoText; // built while painting, shown when the paint ends
    QTimer m_devicePoll;
    QFileSystemWatcher m_devWatch;
    QElapsedTimer m_lastDeviceCheck;
    CKeyboardWatch m_watch{m_link};
    bool m_checkingDevice = false; // a question below runs a modal loop
    bool m_restartRequested = false;
    CEditHistory m_history{m_state};
    // What the last undo or redo did, until the next step: the texts of both languages
    // and the step, so that the box follows the language switch.
    struct SHistoryNote {
        const char* chinese = nullptr;
        const char* english = nullptr;
        SStepName step;
    };
    std::optional<SHistoryNote> m_historyNote;
    std::unique_ptr<QMenu> m_contextMenu;
    // The heatmap.
    bool m_countersRead = false;
    bool m_heatmap = false;
    std::vector<counters::SCounterRead> m_earlierReads;
    std::optional<counters::SCounterRead> m_heatSince;
    counters::SCounterView m_heatView;
    counters::SHeatScale m_heatScale;
    std::array<QString, model::kKeyRows> m_keyLegends;
    std::function<QString()> m_askExportPath;
};

} // namespace talvik::shell
