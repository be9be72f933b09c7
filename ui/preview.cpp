// The slide show on the preview button: each filled slot's staged picture for one interval,
// in slot order, then the placeholder again. With the crossfade chosen, each picture fades
// into the next (the last into the first) in blended steps, at the GIF's pace. Timer 1 is
// restarted by every step.
#include <QComboBox>
#include <QPainter>

#include "platform/bitmap_loader.h"
#include "platform/result.h"
#include "platform/window/message_box.h"
#include "platform/window/picture_button.h"
#include "ui/speed_texts.h"
#include "ui/tavrel_dlg.h"

namespace {

const char* const kNothingToPreview = QT_TRANSLATE_NOOP(
    "tavrel", "Please choose at least one picture before the preview. Thank you!");

// The fade's steps last as long as the GIF's blended frames.
constexpr int kFadeStepMs = tavrel::kFadeStepCentiseconds * 10;

// The picture a fade step shows: `from` with `to` laid over it at the step's share.
tavrel::DibSection BlendedStep(const QImage& from, const QImage& to, int step, int steps) {
    QImage blend = from.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&blend);
    painter.setOpacity(static_cast<double>(step) / (steps + 1));
    painter.drawImage(blend.rect(), to);
    painter.end();
    return tavrel::StretchTrueColourPicture(blend, 32, blend.width(), blend.height());
}

}  // namespace

void CTavrelDlg::OnSpeedChanged() {
    if (m_comboSpeed != nullptr) {
        m_strSpeed = m_comboSpeed->itemText(m_comboSpeed->currentIndex());
    }
}

void CTavrelDlg::OnPreview() {
    if (m_nSelectedCount == 0) {
        ShowPreviewBackground();
        tavrel::ShowMessage(this, tavrel::Tr(kNothingToPreview));
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
    m_nPreviewIndex = index;

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

bool CTavrelDlg::StepPreviewFade() {
    const int steps = tavrel::FadeFrameCount(m_bCrossfade ? tavrel::kCrossfadeCentiseconds : 0);
    if (steps == 0 || m_nPreviewIndex < 0 || !m_bSlotFilled[m_nPreviewIndex]) {
        return false;
    }
    if (m_nFadeStep == 0) {
        // Into the next filled slot, the last one into the first.
        int next = m_nPreviewIndex;
        do {
            next = (next + 1) % kSlotCount;
        } while (!m_bSlotFilled[next]);
        const auto load = [this](int index) {
            return tavrel::DibToImage(LoadStagedPicture(m_strSlotBmpPath[index],
                                                        m_rcPreview.width(), m_rcPreview.height()));
        };
        m_fadeFrom = load(m_nPreviewIndex);
        m_fadeTo = load(next);
    }
    if (m_nFadeStep >= steps || m_fadeFrom.isNull() || m_fadeTo.isNull()) {
        m_nFadeStep = 0;
        m_fadeFrom = QImage();
        m_fadeTo = QImage();
        return false;
    }
    ++m_nFadeStep;
    auto blend =
        std::make_unique<tavrel::DibSection>(BlendedStep(m_fadeFrom, m_fadeTo, m_nFadeStep, steps));
    tavrel::SetButtonBitmap(m_btnPreview, blend.get());
    m_hPreviewBitmap = std::move(blend);
    SetTimer(kPreviewTimerId, kFadeStepMs);
    return true;
}

void CTavrelDlg::OnTimer(int timerId) {
    KillTimer(kPreviewTimerId);
    if (StepPreviewFade()) {
        CDialog::OnTimer(timerId);
        return;
    }
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
    tavrel::SetButtonBitmap(m_btnPreview, m_hPreviewPlaceholder.get());
    m_hPreviewBitmap.reset();
    m_nPreviewIndex = -1;
    m_nFadeStep = 0;
    m_fadeFrom = QImage();
    m_fadeTo = QImage();
}
