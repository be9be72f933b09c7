// The main dialog: five image slots, the speed list, the preview and the GIF command.
#pragma once

#include <QIcon>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "bitmap/dib_section.h"
#include "frames/frame_options.h"
#include "platform/window/dialog.h"
#include "ui/window_choices.h"

class QAbstractButton;
class QComboBox;
class QThread;

namespace tavrel {
class GifJob;
class StagingFolder;
}  // namespace tavrel

inline constexpr int kSlotCount = 5;

// Control ids of the main dialog.
inline constexpr int IDC_GIF_PATH = 1007;
inline constexpr int IDC_SLOT1 = 1008;  // slots 1 to 5 are 1008 to 1012
inline constexpr int IDC_PREVIEW_PICTURE = 1002;
inline constexpr int IDC_SPEED = 1015;
inline constexpr int IDC_FORMATS_NOTE = 1019;
inline constexpr int IDC_CHOICES = 1020;  // "设置…": the choices dialog
inline constexpr int IDC_PREVIEW = 4;
inline constexpr int IDC_GENERATE = 2;
inline constexpr int IDC_CLEAR = 3;
inline constexpr int IDM_ABOUTBOX = 0x10;
inline constexpr int IDM_KEEP_ASPECT = 0x20;   // "保持宽高比": frames contained, not stretched
inline constexpr int IDM_HIGH_QUALITY = 0x30;  // "高质量": the high frame quality
inline constexpr int kPreviewTimerId = 1;

class CTavrelDlg : public tavrel::CDialog {
    Q_OBJECT
public:
    // workDir: the folder the program started in; every relative path resolves against it.
    explicit CTavrelDlg(QWidget* parent = nullptr, const QString& workDir = QString());
    ~CTavrelDlg() override;

    // ---- state (read and written directly by the handlers and by tests) ----
    QString m_strImageDir;
    QString m_strSoundDir;
    QString m_strMovieDir;
    QString m_strBmpDir;
    QString m_strSourcePath;
    QString m_strSourceTitle;
    QString m_strStagePath;
    QString m_strSlotTitle[kSlotCount];
    QString m_strOutputPath;
    QString m_strSlotBmpPath[kSlotCount];
    int32_t m_nFrameWidth = 530;
    int32_t m_nFrameHeight = 530;
    QRect m_rcSlot;
    std::unique_ptr<tavrel::DibSection> m_hWorkBitmap;
    std::unique_ptr<tavrel::DibSection> m_hSlotThumb[kSlotCount];
    int32_t m_nFrameDelay = 0;
    bool m_bSlotFilled[kSlotCount] = {};
    bool m_bSlotShown[kSlotCount] = {};
    bool m_bHeaderWritten = false;
    QRect m_rcPreview;
    std::unique_ptr<tavrel::DibSection> m_hPreviewBitmap;
    std::unique_ptr<tavrel::DibSection> m_hPreviewPlaceholder;  // the preview when idle
    QIcon m_hIcon;
    int32_t m_nSelectedCount = 0;
    QString m_strGifPath;
    QString m_strSpeed;
    QComboBox* m_comboSpeed = nullptr;
    QAbstractButton* m_btnSlot[kSlotCount] = {};
    QAbstractButton* m_btnPreview = nullptr;
    // How the GIF is made; remembered between starts (see window_choices.h).
    bool m_bKeepAspect = false;
    bool m_bHighQuality = false;
    uint64_t m_nMaxBytes = 0;
    bool m_bCrossfade = false;

    // ---- handlers ----
    void OnSysCommand(int commandId);
    void OnGenerateGif();
    void ClearAllSlots();
    void OnSpeedChanged();
    void ChooseSlotImage(int slot);  // slot 1 to 5
    void OnPreview();
    void OnFormatsNote() {}
    // Opens the choices dialog; what it confirms is applied and remembered.
    void OnChoices();
    tavrel::WindowChoices CurrentChoices() const;
    // Takes the choices over: the menu's check marks, the thumbnails, the stored settings.
    void ApplyChoices(const tavrel::WindowChoices& choices);
    // Fills slots 1, 2, ... from the pictures named on the command line (Open with).
    void OpenPictures(const QStringList& paths);
    // The staged copies' folder of this window (empty when none could be made).
    QString StagingPath() const;
    // The GIF run's settings as the speed and the choices ask for them.
    tavrel::GifSettings GifRunSettings() const;
    // Re-saves m_strSourcePath as a BMP copy at m_strStagePath; false with a reason when the
    // picture cannot be read or the copy cannot be written (the stage path is then untouched).
    bool StageAsBmp(QString* reason = nullptr);
    // Opens the dialog's window menu (Alt+Space, right click on a free area).
    void ShowWindowMenu(const QPoint& globalPos);

    // The folder the program started in.
    const QString& WorkDir() const { return m_workDir; }
    // A relative path resolved against WorkDir().
    QString Resolve(const QString& relativePath) const;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(tavrel::DataExchange& dx) override;
    bool PreTranslateMessage(QObject* target, QEvent* event) override;
    void OnCommand(int controlId, int notifyCode) override;
    void OnTimer(int timerId) override;

    // Right-button removal of one slot's picture; part of the pre-filter.
    void RemoveSlotImage(QObject* target, QEvent* event);
    // Picture files dropped on a slot button; part of the pre-filter. True when consumed.
    bool HandleSlotDrop(QObject* target, QEvent* event);
    // Lets the slot buttons accept dropped files (called at initialisation).
    void EnableSlotDrops();
    // A staged copy at width x height as the frames will show it: stretched, or contained on
    // the dialog's background when "保持宽高比" is on. Null when it cannot be read.
    tavrel::DibSection LoadStagedPicture(const QString& stagedPath, int width, int height) const;
    // The GIF frames as the window menu's choices ask for them.
    tavrel::FrameOptions GifFrameOptions() const;
    // Reloads the thumbnails of the filled slots (after "保持宽高比" changed).
    void ReloadThumbnails();

    // Shared by removal and clearing: slot index 0 to 4 back to the background.
    void EmptySlot(int index);

    // ---- helpers of the slots, preview and generation (added as they are built) ----
    void EndPreviewShow();
    bool FillSlotFromFile(int slot, const QString& path);
    // The preview button back to the background picture; releases the shown picture.
    void ShowPreviewBackground();
    // Runs the GIF on a worker thread and waits for it in a local event loop: the window
    // repaints, the preview plays, a progress dialog with a stop button shows after a moment;
    // the dialog's own controls take no input meanwhile.
    tavrel::GifRunOutcome RunGifJob(std::vector<tavrel::PictureSource> sources,
                                    const tavrel::GifSettings& settings, const QString& outputPath);
    // True for user input the dialog must ignore while a run works.
    bool SwallowInputDuringRun(const QEvent* event) const;

    // The run's success message: the described text, then the file's size and frame count.
    static QString DoneMessage(const tavrel::GifRunSummary& summary);

private:
    QString m_workDir;
    std::unique_ptr<tavrel::StagingFolder> m_staging;
    tavrel::GifJob* m_pJob = nullptr;  // the run going on, if any
    // The preview's crossfade: the slot on show (-1: none), and while fading, the two
    // pictures blended and the step reached.
    int m_nPreviewIndex = -1;
    int m_nFadeStep = 0;
    QImage m_fadeFrom;
    QImage m_fadeTo;
    // Starts or continues the fade after the picture on show; false when none is due.
    bool StepPreviewFade();
};
