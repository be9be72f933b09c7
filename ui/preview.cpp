// The slide show on the preview button: each filled slot's staged picture for one interval,
// in slot order, then the background again. Timer 1 is restarted by every step.
#include <QComboBox>

#include "platform/bitmap_loader.h"
#include "platform/window/message_box.h"
#include "platform/window/picture_button.h"
#include "ui/speed_texts.h"
#include "ui/tavrel_dlg.h"

namespace {
constexpr char kNothingToPreview[] = "预览动画之前，请先选择至少一幅图像！谢谢！";
}

void CTavrelDlg::OnSpeedChanged() {
    if (m_comboSpeed != nullptr) {
        m_strSpeed = m_comboSpeed->itemText(m_comboSpeed->currentIndex());
    }
}

void CTavrelDlg::OnPreview() {
    if (m_nSelectedCount == 0) {
        ShowPreviewBackground();
        tavrel::ShowMessage(this, kNothingToPreview);
        return;
    }
    m_nFrameDelay = tavrel::PreviewIntervalMsFor(tavrel::SpeedForText(m_strSpeed));

    int index = 0;
    while (index < kSlotCount && !(m_bSlotFilled[index] && !m_bSlotShown[index])) {
        ++index;
    }
    if (index == kSlotCount) {
        return;
    }

    // A picture that cannot be read leaves the button empty for this step; the show goes on.
    auto picture = std::make_unique<tavrel::DibSection>(
        LoadStagedPicture(m_strSlotBmpPath[index], m_rcPreview.width(), m_rcPreview.height()));
    if (picture->IsNull()) {
        picture.reset();
    }
    tavrel::SetButtonBitmap(m_btnPreview, picture.get());
    m_hPreviewBitmap = std::move(picture);
    m_bSlotShown[index] = true;

    bool laterSlotFilled = false;
    for (int later = index + 1; later < kSlotCount; ++later) {
        laterSlotFilled = laterSlotFilled || m_bSlotFilled[later];
    }
    if (!laterSlotFilled) {
        // The last picture: the next tick brings the background back.
        for (int shown = 0; shown <= index; ++shown) {
            m_bSlotShown[shown] = false;
        }
    }
    SetTimer(kPreviewTimerId, m_nFrameDelay);
}

void CTavrelDlg::OnTimer(int timerId) {
    KillTimer(kPreviewTimerId);
    bool showing = false;
    for (bool shown : m_bSlotShown) {
        showing = showing || shown;
    }
    if (showing) {
        OnPreview();
    } else {
        ShowPreviewBackground();
    }
    CDialog::OnTimer(timerId);
}

void CTavrelDlg::EndPreviewShow() {
    KillTimer(kPreviewTimerId);
    for (bool& shown : m_bSlotShown) {
        shown = false;
    }
    ShowPreviewBackground();
}

void CTavrelDlg::ShowPreviewBackground() {
    tavrel::SetButtonBitmap(m_btnPreview, m_hWorkBitmap.get());
    m_hPreviewBitmap.reset();
}
