// The window menu's choices of how the GIF is made ("保持宽高比", "高质量"), and what the
// thumbnails, the preview and the generation command make of them.
#include <QAbstractButton>
#include <memory>

#include "frames/staged_copy.h"
#include "platform/window/picture_button.h"
#include "platform/window/skin_colours.h"
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
