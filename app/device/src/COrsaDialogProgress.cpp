#include "talvik/device/COrsaDialogProgress.h"

#include "talvik/backup/BackupText.h"
#include "talvik/jobs/JobText.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/CFontTable.h"
#include "talvik/shell/CSkinSource.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/SkinProblem.h"
#include "talvik/shell/UiScale.h"

#include "talvik/layout/ProgressLayout.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>

#include <algorithm>

namespace talvik::device {
namespace {
namespace id = layout::progress_id;
}

COrsaDialogProgress::COrsaDialogProgress(shell::CSkinSource& skin, model::CAppState& state,
                                         jobs::CDeviceWorkerSlot& worker, QWidget* parent)
    : CSkinWindow(parent), m_skin(skin), m_state(state), m_worker(worker),
      m_prompts(CDevicePrompts::interactive(this)) {}

COrsaDialogProgress::~COrsaDialogProgress() {
    // A job whose dialog goes away unasked ends as soon as it can.
    if (m_control) {
        m_control->cancel();
    }
}

int COrsaDialogProgress::exec() {
    if (!initialise()) {
        return IDCANCEL;
    }
    return CSkinWindow::exec();
}

void COrsaDialogProgress::open() {
    if (initialise()) {
        CSkinWindow::open();
    }
}

bool COrsaDialogProgress::keyboardThere() {
    if (!m_job || m_state.device.isConnected()) {
        return true;
    }
    m_notConnected = true;
    m_closed = true;
    m_outcome = {};
    CSkinWindow::done(IDCANCEL);
    return false;
}

bool COrsaDialogProgress::initialise() {
    m_notConnected = false;
    if (!keyboardThere()) {
        return false; // not even shown: the user is told by whoever asked for the job
    }
    m_closed = false;
    m_percent = 0;
    m_outcome = {};
    m_backupDone = false;
    m_backupResult = {};
    const QImage& normal = m_skin.picture(layout::kProgressNormalId);
    const QImage& hover = m_skin.picture(layout::kProgressHoverId);
    const QImage& active = m_skin.picture(layout::kProgressActiveId);
    if (!shell::picturesAgree({&normal, &hover, &active})) {
        setResult(IDCANCEL);
        QMessageBox::warning(
            parentWidget(), QStringLiteral("Talvik"),
            shell::skinProblemText(shell::ESkinWindow::Progress, m_state.language));
        return false;
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen != nullptr ? screen->geometry().size() : QSize(1920, 1080);
    // The main window settles the scale when it opens; a dialog run without
    // it works the scale out the same way.
    const float scale =
        m_state.uiScale >= 1.0f ? m_state.uiScale : shell::uiScale(screenSize.height());
    setPictures(&normal, &hover, &active);
    setFonts(&m_skin.fonts());
    fillElements();
    applyScale(scale, screenSize);
    applyShape(shell::paletteColour(layout::kProgressColourKey));
    prepareBackingStore();
    setWindowTitle(elementWithId(id::TitleLabel).caption(m_state.language));

    m_state.progressWindow = handle();
    if (m_job) {
        startJob();
    }
    return true;
}

void COrsaDialogProgress::fillElements() {
    std::vector<SkinElement>& table = elements();
    table.clear();
    for (const layout::ElementSpec& spec : layout::progressElements()) {
        SkinElement e = makeSkinElement(spec);
        const QString tip = QString::fromUtf8(layout::kProgressTip);
        e.tips = {{SkinElement::keyOf(text::Language::Chinese), tip},
                  {SkinElement::keyOf(text::Language::English), tip}};
        table.push_back(e);
    }
}

void COrsaDialogProgress::showWaiting(bool waiting) {
    m_waiting = waiting;
    showWarningCaption();
}

// The bar runs once for the backup's read and once for the write, so the
// label says which of the two it shows.
void COrsaDialogProgress::showWarningCaption() {
    SkinElement& warning = elementWithId(id::WarningLabel);
    for (const layout::ElementSpec& spec : layout::progressElements()) {
        if (spec.id != id::WarningLabel) {
            continue;
        }
        for (const text::Language language : {text::Language::Chinese, text::Language::English}) {
            const bool chinese = language == text::Language::Chinese;
            QString& caption = warning.caption(language);
            if (m_waiting) {
                caption = QString::fromUtf8(chinese ? layout::kProgressWaitingZh
                                                    : layout::kProgressWaitingEn);
            } else if (m_backupRun) {
                caption = QString::fromStdString(backup::backupReadingText(language));
            } else {
                caption = QString::fromStdString(chinese ? spec.zh : spec.en);
            }
        }
    }
    update();
}

void COrsaDialogProgress::startJob() {
    // An earlier worker may have ended because the keyboard went away.
    if (!keyboardThere()) {
        return;
    }
    if (!m_backupDone && !m_backupFolder.empty() && backup::backupFor(*m_job)) {
        // With everything known already the worker has no read to make and ends at once.
        startOnWorker(
            std::make_shared<backup::CBackupJob>(*backup::backupFor(*m_job), m_backupFolder),
            m_backupRun);
        return;
    }
    startOnWorker(std::make_shared<jobs::CDeviceJob>(*m_job), m_run);
}

template <typename Job>
void COrsaDialogProgress::startOnWorker(std::shared_ptr<Job> run, std::shared_ptr<Job>& kept) {
    auto control = m_sleep ? std::make_shared<jobs::CJobControl>(m_sleep)
                           : std::make_shared<jobs::CJobControl>();
    // The worker holds its own references: it may outlive this dialog.
    const bool started = m_worker.start([run, control] { run->run(*control); },
                                        [&] {
                                            m_state.progressWindow = handle();
                                            run->takeFromModel(m_state);
                                        });
    if (!started) {
        // An earlier job's library call is still running; this one must not
        // run beside it on the same connection.
        showWaiting(true);
        m_worker.notifyWhenFree(handle());
        return;
    }
    kept = run;
    m_control = control;
    m_percent = 0;
    showWaiting(false);
}

void COrsaDialogProgress::finishBackup() {
    if (!m_backupRun->finished()) {
        return;
    }
    m_backupResult = m_backupRun->giveToModel(m_state);
    m_backupRun.reset();
    if (!m_backupResult.ok() &&
        !askToWriteWithoutBackup(m_prompts, m_backupResult, m_backupFolder, m_state.language)) {
        m_closed = true;
        m_outcome = {};
        CSkinWindow::done(IDCANCEL);
        return;
    }
    m_backupDone = true;
    startJob();
}

void COrsaDialogProgress::finishJob() {
    if (m_backupRun) {
        finishBackup();
        return;
    }
    if (!m_run || !m_run->finished()) {
        return;
    }
    m_run->giveToModel(m_state);
    m_outcome = m_run->outcome();
    m_closed = true;
    done(IDOK);
}

void COrsaDialogProgress::cancelJob() {
    if (m_closed) {
        return;
    }
    m_closed = true;
    m_percent = 0;
    if (m_control) {
        m_control->cancel();
    }
    // Whatever the worker still reads never reaches the model: only
    // finishJob gives a job's results to it.
    m_outcome = {};
    CSkinWindow::done(IDCANCEL);
}

void COrsaDialogProgress::reject() {
    cancelJob();
}

void COrsaDialogProgress::onElementClicked(int index) {
    if (index >= 0 && elements()[static_cast<std::size_t>(index)].id == id::Cancel) {
        cancelJob();
    }
}

void COrsaDialogProgress::onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    if (m_closed) {
        return;
    }
    switch (message) {
    case WM_TALVIK_PROGRESS:
        // Without a job the bar counts as the single-step jobs do.
        m_percent =
            jobs::progressPercent(m_job.value_or(jobs::EJob::NoTransfer), static_cast<int>(wParam));
        update();
        shell::announceMeterChanged(*this);
        break;
    case WM_TALVIK_JOBDONE:
        finishJob();
        break;
    case jobs::WM_TALVIK_WORKERFREE:
        if (m_waiting) {
            startJob();
        }
        break;
    default:
        break;
    }
}

void COrsaDialogProgress::paintBehindElements(QPainter& p) {
    const int width = layout::progressBarWidth(m_percent);
    if (width <= 0) {
        return;
    }
    const layout::SkinRect bar = layout::kProgressBarRect;
    // Past 100 percent the strip runs on beyond the bar, as far as the picture goes.
    drawPictureRect(p, m_skin.picture(layout::kProgressActiveId),
                    QRect(bar.left, bar.top, width, bar.height()));
}

std::optional<shell::SMeterAccess> COrsaDialogProgress::meterAccess() const {
    const SkinElement& title = elements()[static_cast<std::size_t>(indexOfId(id::TitleLabel))];
    const SkinElement& warning = elements()[static_cast<std::size_t>(indexOfId(id::WarningLabel))];
    const layout::SkinRect bar = layout::kProgressBarRect;
    const layout::SkinRect full{bar.left, bar.top, bar.left + layout::kProgressBarFullWidth,
                                bar.bottom};
    // Past 100 percent the strip runs on beyond the bar; a reader says full.
    return shell::SMeterAccess{title.captionIn(language()), warning.captionIn(language()),
                               shell::toQRect(shell::scaledBy(full, scale())),
                               std::clamp(m_percent, 0, 100)};
}

text::Language COrsaDialogProgress::language() const {
    return m_state.language;
}

jobs::CJobReport COrsaDialogProgress::report() const {
    if (m_notConnected) {
        return jobs::notConnectedReport(m_state.language);
    }
    if (result() != IDOK) {
        return {};
    }
    if (succeeded()) {
        return {jobs::EJobEnd::Succeeded, {}};
    }
    return {jobs::EJobEnd::Failed, jobs::failureText(m_outcome, m_state.language)};
}

QString COrsaDialogProgress::failureText() const {
    return QString::fromStdString(jobs::failureText(m_outcome, m_state.language));
}

} // namespace talvik::device
