// The choices of how the GIF is made (the window menu's "保持宽高比" and "高质量", and the
// choices dialog's size limit and crossfade), and what the thumbnails, the preview and the
// generation command make of them.
#include <QAbstractButton>
#include <QAction>
#include <memory>

#include "frames/staged_copy.h"
#include "platform/window/picture_button.h"
#include "platform/window/skin_colours.h"
#include "platform/window/window_menu.h"
#include "ui/speed_texts.h"
#include "ui/tavrel_dlg.h"

namespace {

// Around a contained picture: the dialog's own background as the skin gives it, else black.
QRgb FrameBackground() {
    const QColor skin = tavrel::SkinDialogBackground();
    return skin.isValid() ? skin.rgb() : qRgb(0, 0, 0);
}

}  // namespace

tavrel::DibSection CTavrelDlg::LoadStagedPicture(const QString& stagedPath, int width,
                                                 int height) const {
    tavrel::FrameOptions shown = GifFrameOptions();
    shown.width = width;
    shown.height = height;
    return tavrel::LoadStagedCopy(Resolve(stagedPath), shown);
}

tavrel::FrameOptions CTavrelDlg::GifFrameOptions() const {
    tavrel::FrameOptions options;
    options.width = m_nFrameWidth;
    options.height = m_nFrameHeight;
    if (m_bKeepAspect) {
        options.fit = tavrel::FitMode::kContain;
        options.background = FrameBackground();
    }
    if (m_bHighQuality) {
        options.quality = tavrel::FrameQuality::kHigh;
    }
    return options;
}

void CTavrelDlg::ReloadThumbnails() {
    for (int index = 0; index < kSlotCount; ++index) {
        if (!m_bSlotFilled[index] || m_btnSlot[index] == nullptr) {
            continue;
        }
        auto thumb = std::make_unique<tavrel::DibSection>(
            LoadStagedPicture(m_strSlotBmpPath[index], m_rcSlot.width(), m_rcSlot.height()));
        if (thumb->IsNull()) {
            continue;  // the old thumbnail stays
        }
        tavrel::SetButtonBitmap(m_btnSlot[index], thumb.get());
        m_hSlotThumb[index] = std::move(thumb);
    }
}

tavrel::WindowChoices CTavrelDlg::CurrentChoices() const {
    return {m_bKeepAspect, m_bHighQuality, m_nMaxBytes, m_bCrossfade};
}

void CTavrelDlg::ApplyChoices(const tavrel::WindowChoices& choices) {
    const bool thumbnailsChange = choices.keepAspect != m_bKeepAspect;
    m_bKeepAspect = choices.keepAspect;
    m_bHighQuality = choices.highQuality;
    m_nMaxBytes = choices.maxBytes;
    m_bCrossfade = choices.crossfade;
    if (tavrel::WindowMenu* menu = GetSystemMenu()) {
        for (const auto& [item, on] :
             {std::pair{IDM_KEEP_ASPECT, m_bKeepAspect}, {IDM_HIGH_QUALITY, m_bHighQuality}}) {
            if (QAction* action = menu->FindItem(item)) {
                action->setChecked(on);
            }
        }
    }
    if (thumbnailsChange) {
        ReloadThumbnails();
    }
    tavrel::SaveWindowChoices(choices);
}

tavrel::GifSettings CTavrelDlg::GifRunSettings() const {
    tavrel::GifSettings settings;
    settings.frame = GifFrameOptions();
    settings.delay = static_cast<uint16_t>(tavrel::GifDelayFor(tavrel::SpeedForText(m_strSpeed)));
    settings.fadeCentiseconds = m_bCrossfade ? tavrel::kCrossfadeCentiseconds : 0;
    settings.maxBytes = m_nMaxBytes;
    return settings;
}
