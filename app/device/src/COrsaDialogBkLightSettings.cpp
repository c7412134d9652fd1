#include "talvik/device/COrsaDialogBkLightSettings.h"

#include "talvik/device/COrsaDialogBkLightMultiSelect.h"
#include "talvik/device/COrsaDialogProgress.h"
#include "talvik/jobs/CDeviceJob.h"
#include "talvik/model/CAppState.h"
#include "talvik/shell/PaletteColour.h"

#include "talvik/layout/DeviceLayout.h"

#include <QPainter>

namespace talvik::device {
namespace {

namespace id = layout::backlight_id;

} // namespace

COrsaDialogBkLightSettings::COrsaDialogBkLightSettings(shell::CSkinSource& skin,
                                                       model::CAppState& state,
                                                       jobs::CDeviceWorkerSlot& worker,
                                                       QWidget* parent)
    : CDeviceDialog(skin, state, parent), m_prompts(CDevicePrompts::interactive(this)) {
    m_runJob = [this, &worker](jobs::EJob job) {
        COrsaDialogProgress progress(m_skin, m_state, worker, this);
        progress.m_job = job;
        progress.m_backupFolder = m_backupFolder;
        progress.exec();
        return progress.report();
    };
    m_runMultiSelect = [this](const LightTable& colours, CMultiSelection& result) {
        COrsaDialogBkLightMultiSelect dialog(m_skin, m_state, colours, result, this);
        return dialog.initialise() && dialog.exec() == QDialog::Accepted;
    };
}

bool COrsaDialogBkLightSettings::initialise(QSize screen) {
    const layout::PicturePair ids = layout::backlightPictureIds(m_state.modelNumber);
    // No element of this dialog is ever active: two pictures are all it has.
    if (!setUpSkin(shell::ESkinWindow::Backlight, m_prompts, {ids.first, ids.second, ids.first},
                   layout::backlightElements(), layout::kBacklightColourKey, screen)) {
        return false;
    }
    m_lights = m_state.keyConfig.LightAreas;
    m_repaintRequests = 0;
    return true;
}

shell::SElementAccess COrsaDialogBkLightSettings::accessOf(int index) const {
    return keyLightAccess(index, m_lights);
}

void COrsaDialogBkLightSettings::paintElement(QPainter& p, SkinElement& e, const SkinRect& r) {
    if (e.keyIndex <= 0) {
        CDeviceDialog::paintElement(p, e, r);
        return;
    }
    drawPicturePart(p, e, r);
    drawLightFrame(p, r, toQColor(m_lights[static_cast<std::size_t>(e.keyIndex)]));
    drawKeyName(p, *fonts(), r, e.caption(language()),
                e.hovered ? shell::paletteColour(layout::kLitInk) : e.textColor);
}

void COrsaDialogBkLightSettings::onElementClicked(int index) {
    if (index < 0) {
        return;
    }
    const SkinElement& e = elements()[static_cast<std::size_t>(index)];
    if (e.keyIndex > 0) {
        pickKeyColour(e.keyIndex);
    } else {
        runCommand(e.id);
    }
}

void COrsaDialogBkLightSettings::runCommand(int command) {
    switch (command) {
    case id::SetAll:
        setAll();
        break;
    case id::Default:
        setDefault();
        break;
    case id::MultiKey:
        multiKey();
        break;
    case id::Read:
        readFromKeyboard();
        break;
    case id::Write:
        writeToKeyboard();
        break;
    case id::Ok:
        keepWorkingCopy();
        accept();
        break;
    case id::Cancel:
    case id::Close:
        reject();
        break;
    default:
        break;
    }
}

void COrsaDialogBkLightSettings::repaint() {
    ++m_repaintRequests;
    update();
    shell::announceNamesChanged(*this); // the keys say their colours
}

void COrsaDialogBkLightSettings::pickKeyColour(int index) {
    model::LightArea& light = m_lights[static_cast<std::size_t>(index)];
    const std::optional<QColor> chosen = m_prompts.pickColor(toQColor(light));
    if (!chosen || sameColour(toLightArea(*chosen), light)) {
        return;
    }
    light = toLightArea(*chosen);
    repaint();
}

void COrsaDialogBkLightSettings::setAll() {
    const std::optional<QColor> chosen = m_prompts.pickColor(QColor(0, 0, 0));
    if (!chosen) {
        return;
    }
    m_lights.fill(toLightArea(*chosen));
    repaint();
}

void COrsaDialogBkLightSettings::setDefault() {
    m_lights.fill(model::LightArea{});
    repaint();
}

void COrsaDialogBkLightSettings::multiKey() {
    CMultiSelection selection;
    if (m_runMultiSelect(m_lights, selection)) {
        for (std::size_t index = 0; index < m_lights.size(); ++index) {
            if (selection.selected[index]) {
                m_lights[index] = selection.colour;
            }
        }
    }
    repaint();
}

void COrsaDialogBkLightSettings::readFromKeyboard() {
    const jobs::CJobReport report = m_runJob(jobs::EJob::ReadLight);
    // Only colours the keyboard really sent replace what the user sees.
    if (report.end == jobs::EJobEnd::Succeeded) {
        m_lights = m_state.keyConfig.LightAreas;
    }
    reportTransfer(report);
    repaint();
}

void COrsaDialogBkLightSettings::writeToKeyboard() {
    keepWorkingCopy();
    const jobs::CJobReport report = m_runJob(jobs::EJob::WriteLight);
    reportTransfer(report);
    // Without a keyboard the dialog stays, so that Write can be pressed again
    // once it is back; the colours are kept either way.
    if (report.end != jobs::EJobEnd::NotConnected) {
        accept();
    }
}

void COrsaDialogBkLightSettings::keepWorkingCopy() {
    m_state.keyConfig.LightAreas = m_lights;
}

void COrsaDialogBkLightSettings::reportTransfer(const jobs::CJobReport& report) {
    switch (report.end) {
    case jobs::EJobEnd::Succeeded:
        m_prompts.message(QStringLiteral("OK!"));
        break;
    case jobs::EJobEnd::Cancelled:
        m_prompts.message(QStringLiteral("Failed!"));
        break;
    case jobs::EJobEnd::Failed:
    case jobs::EJobEnd::NotConnected:
        m_prompts.message(QString::fromStdString(report.failureText));
        break;
    }
}

} // namespace talvik::device
