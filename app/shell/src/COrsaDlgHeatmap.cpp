// The main window's heatmap: the keyboard picture coloured by how often each
// key was pressed, all-time or since an earlier kept read, its scale over the
// legend row, and the counters' history and export behind it.

#include "talvik/shell/COrsaDlg.h"

#include "talvik/backup/Backups.h"
#include "talvik/counters/CounterText.h"
#include "talvik/layout/MainPanels.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/CFontTable.h"
#include "talvik/shell/PaletteColour.h"
#include "talvik/shell/UiScale.h"
#include "talvik/skin/SkinPainter.h"
#include "talvik/text/Encoding.h"
#include "talvik/text/Language.h"

#include <QActionGroup>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QSaveFile>

namespace talvik::shell {
namespace {

QString utf8(const std::string& text) {
    return QString::fromStdString(text);
}

QColor heatColour(double position) {
    return paletteColour(counters::heatColour(position));
}

} // namespace

void COrsaDlg::counterReadDone() {
    const std::string folder = counters::countersFolder();
    const counters::CountTable& now = m_state.pressCount;
    // The earlier reads first: the one just made is not one of them. The menu
    // offers the newest few; a view since an older one needs to know that it is
    // still in the series.
    m_earlierReads = counters::loadSeries(folder, m_state.modelNumber, now,
                                          m_heatSince ? counters::kKeptReads : kSinceEntries);
    const std::wstring version = m_link.versionText ? m_link.versionText() : std::wstring();
    const counters::SReadSave saved =
        counters::saveRead(folder, m_state.modelNumber, text::utf8FromWide(version.c_str()), now);
    m_countersRead = true;
    if (m_heatSince) {
        const auto same = [this](const counters::SCounterRead& read) {
            return read.path == m_heatSince->path;
        };
        if (std::none_of(m_earlierReads.begin(), m_earlierReads.end(), same)) {
            // The counters went down since: the keyboard was reset, and the
            // heatmap starts anew with it.
            m_heatSince.reset();
            m_historyNote =
                SHistoryNote{"自所选读取以来计数变小了（键盘已重置），热度图从头开始：%1",
                             "The counters went down since the chosen read (the "
                             "keyboard was reset); the heatmap starts anew: %1",
                             {QStringLiteral("累计"), QStringLiteral("all-time")}};
        }
    }
    updateHeatView();
    if (!saved.ok) {
        tell(QMessageBox::Warning,
             utf8(counters::readNotKeptText(folder, saved.message, m_state.language)));
    }
}

void COrsaDlg::updateHeatView() {
    m_heatView.modelNumber = m_state.modelNumber;
    m_heatView.since = m_heatSince;
    m_heatView.counts = m_heatSince ? counters::countsSince(m_state.pressCount, m_heatSince->counts)
                                    : m_state.pressCount;
    m_heatScale = counters::heatScaleFor(m_heatView.counts);
    update();
}

void COrsaDlg::toggleHeatmap() {
    if (!m_countersRead) {
        m_historyNote = SHistoryNote{"热度图需要先读取按键计数：请点击%1。",
                                     "The heatmap needs the press counters: click %1 first.",
                                     {QStringLiteral("“读取计数”"), QStringLiteral("ReadCounter")}};
        update();
        return;
    }
    m_heatmap = !m_heatmap;
    update();
}

void COrsaDlg::showHeatmapSince(std::optional<std::size_t> index) {
    if (!m_countersRead) {
        return;
    }
    m_heatSince.reset();
    if (index && *index < m_earlierReads.size()) {
        m_heatSince = m_earlierReads[*index];
    }
    m_heatmap = true;
    updateHeatView();
}

bool COrsaDlg::drawHeatKey(QPainter& p, const SkinElement& e, const SkinRect& r) {
    const int count = m_heatView.counts[static_cast<std::size_t>(e.keyIndex)];
    const double position = m_heatScale.position(count);
    if (position < 0) {
        return false;
    }
    const layout::Rgb tint = counters::heatColour(position);
    const QPoint at = pointer();
    skin::drawTintedKeycap(p, toQRect(r), m_keyLegends[static_cast<std::size_t>(e.keyIndex)], tint,
                           counters::legibleInk(tint), e.rect.contains(at.x(), at.y()));
    return true;
}

void COrsaDlg::drawHeatLegend(QPainter& p) const {
    using layout::kHeatLegendBar;
    p.save();
    skin::drawPanel(p, toQRect(layout::kHeatLegendPanel), 6, paletteColour(layout::kSidePanel));
    QFont font = fonts() != nullptr ? (*fonts())[12] : QFont();
    font.setPixelSize(12);
    font.setBold(true);
    p.setFont(font);
    p.setPen(paletteColour(layout::kPanelHint));
    QString title = utf8(counters::viewTitle(m_heatView, m_state.language));
    if (m_heatScale.logarithmic) {
        title += pick("（对数刻度）", " (logarithmic scale)");
    }
    if (m_heatScale.empty()) {
        title += pick("：没有敲击", ": no presses");
    }
    p.drawText(toQRect(layout::kHeatLegendTitle), Qt::AlignLeft | Qt::AlignVCenter, title);
    if (m_heatScale.empty()) {
        p.restore();
        return;
    }
    const QRectF bar(toQRect(kHeatLegendBar));
    QLinearGradient run(bar.left(), 0, bar.right(), 0);
    constexpr int kStops = 10;
    for (int i = 0; i <= kStops; ++i) {
        run.setColorAt(static_cast<double>(i) / kStops,
                       heatColour(static_cast<double>(i) / kStops));
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(run);
    p.drawRoundedRect(bar, bar.height() / 2, bar.height() / 2);
    // The numbers stand on the run where their counts are, each in the ink
    // that reads on the colour under it; the ends sit inside the bar.
    font.setPixelSize(11);
    p.setFont(font);
    const QFontMetricsF metrics(font);
    for (const int tick : m_heatScale.ticks(layout::kHeatLegendTicks)) {
        const double position = m_heatScale.position(tick);
        const QString number = QString::number(tick);
        const qreal width = metrics.horizontalAdvance(number);
        const qreal padding = bar.height() / 2;
        const qreal centre = bar.left() + padding + position * (bar.width() - 2 * padding);
        const qreal left = std::clamp(centre - width / 2, bar.left() + padding - 2,
                                      bar.right() - padding + 2 - width);
        const double under = (left + width / 2 - bar.left()) / bar.width();
        p.setPen(paletteColour(counters::legibleInk(counters::heatColour(under))));
        p.drawText(QRectF(left, bar.top(), width, bar.height()), Qt::AlignCenter, number);
    }
    p.restore();
}

QString COrsaDlg::heatDetails(int key) const {
    const int count = m_heatView.counts[static_cast<std::size_t>(key)];
    const double share = counters::shareOf(m_heatView.counts, key) * 100.0;
    const QString percent = QString::number(share, 'f', share < 10 ? 2 : 1);
    return m_state.language == text::Language::Chinese
               ? QStringLiteral("%1（占全部敲击的 %2%）").arg(count).arg(percent)
               : QStringLiteral("%1 (%2% of all presses)").arg(count).arg(percent);
}

void COrsaDlg::addHeatmapEntries(QMenu& menu) {
    QAction* heatmap = menu.addAction(pick("热度图", "Heatmap"), [this] { toggleHeatmap(); });
    heatmap->setCheckable(true);
    heatmap->setChecked(m_heatmap);
    heatmap->setEnabled(m_countersRead);
    heatmap->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    heatmap->setShortcutContext(Qt::WidgetShortcut);

    QMenu* since = menu.addMenu(pick("热度图起点", "Heatmap since"));
    since->setStyleSheet(menuStyleSheet());
    since->menuAction()->setEnabled(m_countersRead);
    auto* choices = new QActionGroup(since);
    const auto addChoice = [&](const QString& text, bool chosen, std::optional<std::size_t> index) {
        QAction* choice = since->addAction(text, [this, index] { showHeatmapSince(index); });
        choice->setCheckable(true);
        choice->setChecked(chosen);
        choices->addAction(choice);
    };
    addChoice(pick("全部累计", "All time"), !m_heatSince, std::nullopt);
    for (std::size_t i = 0; i < m_earlierReads.size() && i < kSinceEntries; ++i) {
        const counters::SCounterRead& read = m_earlierReads[i];
        // To the second: two reads of one minute must not look the same.
        addChoice(utf8(backup::localTimeText(read.time)),
                  m_heatSince && m_heatSince->path == read.path, i);
    }
    QAction* exportEntry =
        menu.addAction(pick("导出计数...", "Export counters..."), [this] { exportCounters(); });
    exportEntry->setEnabled(m_countersRead);
}

QString COrsaDlg::askExportPathWithDialog() {
    QFileDialog dialog(this, pick("导出按键计数", "Export the press counters"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QString csv = pick("CSV 文件 (*.csv)", "CSV files (*.csv)");
    const QString json = pick("JSON 文件 (*.json)", "JSON files (*.json)");
    dialog.setNameFilters({csv, json});
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    // A name typed without an extension takes the one of the chosen kind.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, json](const QString& filter) {
        dialog.setDefaultSuffix(filter == json ? QStringLiteral("json") : QStringLiteral("csv"));
    });
    dialog.selectFile(QStringLiteral("talvik-counters.csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().first();
}

void COrsaDlg::exportCounters() {
    if (!m_countersRead) {
        return;
    }
    const QString path = m_askExportPath ? m_askExportPath() : QString();
    if (path.isEmpty()) {
        return;
    }
    const bool json =
        QFileInfo(path).suffix().compare(QStringLiteral("json"), Qt::CaseInsensitive) == 0;
    const std::string text =
        json ? counters::countersJson(m_heatView) : counters::countersCsv(m_heatView);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text.data(), static_cast<qint64>(text.size())) !=
            static_cast<qint64>(text.size()) ||
        !file.commit()) {
        tell(QMessageBox::Warning,
             pick("无法保存计数文件：\n%1\n%2", "The counters could not be saved:\n%1\n%2")
                 .arg(QDir::toNativeSeparators(path), file.errorString()));
        return;
    }
    m_historyNote = SHistoryNote{"按键计数已导出到：%1",
                                 "The counters were exported to: %1",
                                 {QDir::toNativeSeparators(path), QDir::toNativeSeparators(path)}};
    update();
}

} // namespace talvik::shell
