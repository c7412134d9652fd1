#pragma once

// The firmware update dialog: shows the keyboard's firmware version, takes a
// firmware image file whose name belongs to the connected model, and
// downloads it with a progress bar.

#include "talvik/device/CDeviceDialog.h"
#include "talvik/device/CDevicePrompts.h"

#include <QLineEdit>

#include <functional>
#include <optional>

namespace talvik::device {

class CFirmwareDownload;

class COrsaDialogFirmwareUpdate : public CDeviceDialog {
public:
    COrsaDialogFirmwareUpdate(shell::CSkinSource& skin, model::CAppState& state,
                              CFirmwareDownload& download, QWidget* parent = nullptr);
    ~COrsaDialogFirmwareUpdate() override;

    void setPrompts(CDevicePrompts prompts) { m_prompts = std::move(prompts); }
    // How the version is read; empty when the keyboard did not answer.
    void setVersionReader(std::function<std::optional<QString>()> read) {
        m_readVersion = std::move(read);
    }

    // Skin, table, scale, the two text boxes and the first version query;
    // false when the skin lacks a picture.
    bool initialise(QSize screen = {});

    // The file-name prefix that marks an image of `model`.
    static QString requiredPrefix(int model);

    const QLineEdit& versionBox() const { return m_versionBox; }
    const QLineEdit& fileBox() const { return m_fileBox; }
    const QString& fileName() const { return m_fileName; }
    const QString& filePath() const { return m_filePath; }
    int percent() const { return m_percent; }
    bool ready() const { return m_ready; }

    // Runs the command of element `id` as a click would.
    void runCommand(int id);

protected:
    void paintBehindElements(QPainter& p) override;
    void onElementClicked(int index) override;
    void onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void reject() override;

private:
    void setUpBox(QLineEdit& box, const layout::SkinRect& design);
    void queryVersion();
    void openFile();
    void startDownload();
    void showResult(int result);
    QString busyText() const;
    void repaintBar();

    CFirmwareDownload& m_download;
    CDevicePrompts m_prompts;
    std::function<std::optional<QString>()> m_readVersion;
    QLineEdit m_versionBox;
    QLineEdit m_fileBox;
    QString m_fileName;
    QString m_filePath;
    int m_percent = 0;
    bool m_ready = true;
};

} // namespace talvik::device
