#pragma once

// The backlight settings dialog: the keyboard with every key framed in its
// colour. The user picks a colour for one key, for all keys or for a chosen
// group, reads the colours from the keyboard or writes them to it. Edits
// change a working copy; the configuration takes it on OK and Write.

#include "talvik/device/BacklightKeys.h"
#include "talvik/device/CDeviceDialog.h"
#include "talvik/device/CDevicePrompts.h"
#include "talvik/jobs/CDeviceJob.h"
#include "talvik/jobs/CDeviceWorkerSlot.h"

#include "talvik/layout/DeviceLayout.h"

#include <functional>
#include <string>

namespace talvik::device {

struct CMultiSelection;

class COrsaDialogBkLightSettings : public CDeviceDialog {
public:
    // Runs a job of the progress dialog (ReadLight, WriteLight).
    using JobRunner = std::function<jobs::CJobReport(jobs::EJob job)>;
    // Runs the multi-key selection over `colours`; true when it ended with a
    // colour chosen (IDOK).
    using MultiSelectRunner =
        std::function<bool(const LightTable& colours, CMultiSelection& result)>;

    // Its Read and Write run their jobs in `worker`.
    COrsaDialogBkLightSettings(shell::CSkinSource& skin, model::CAppState& state,
                               jobs::CDeviceWorkerSlot& worker, QWidget* parent = nullptr);

    void setPrompts(CDevicePrompts prompts) { m_prompts = std::move(prompts); }
    void setJobRunner(JobRunner run) { m_runJob = std::move(run); }
    // Where the progress dialog saves the backup before a light write; empty: none.
    void setBackupFolder(std::string folder) { m_backupFolder = std::move(folder); }
    void setMultiSelectRunner(MultiSelectRunner run) { m_runMultiSelect = std::move(run); }

    // Skin, table, scale and place, and the working copy from the
    // configuration; false when the skin lacks a picture.
    bool initialise(QSize screen = {});

    const LightTable& workingCopy() const { return m_lights; }
    // How often the dialog asked to be repainted since it opened.
    int repaintRequests() const { return m_repaintRequests; }

    // A key says its colour after its name.
    shell::SElementAccess accessOf(int index) const override;

protected:
    int closeControlId() const override { return layout::backlight_id::Close; }
    void paintElement(QPainter& p, SkinElement& e, const SkinRect& r) override;
    void onElementClicked(int index) override;

private:
    void runCommand(int id);
    void pickKeyColour(int index);
    void setAll();
    void setDefault();
    void multiKey();
    void readFromKeyboard();
    void writeToKeyboard();
    void keepWorkingCopy();
    void repaint();
    void reportTransfer(const jobs::CJobReport& report);

    LightTable m_lights{};
    CDevicePrompts m_prompts;
    JobRunner m_runJob;
    std::string m_backupFolder;
    MultiSelectRunner m_runMultiSelect;
    int m_repaintRequests = 0;
};

} // namespace talvik::device
