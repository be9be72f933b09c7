// Filling the five image slots from picture files and emptying them again.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "platform/bitmap_loader.h"
#include "platform/file_names.h"
#include "platform/image_codecs.h"
#include "platform/result.h"
#include "platform/window/dialog_template.h"
#include "platform/window/file_dialog.h"
#include "platform/window/message_box.h"
#include "platform/window/picture_button.h"
#include "platform/window/staging_folder.h"
#include "ui/tavrel_dlg.h"

namespace {

const char* const kOpenFilterName =
    QT_TRANSLATE_NOOP("tavrel", "Picture files (*.jpg;*.bmp;*.png)");
const char* const kOpenFilterPatterns = "|*.jpg;*.bmp;*.png||";
const char* const kNothingToClear =
    QT_TRANSLATE_NOOP("tavrel", "No picture is chosen, there is nothing to clear. Thank you!");
const char* const kCannotUse = QT_TRANSLATE_NOOP("tavrel", "Cannot use this picture: ");
const char* const kCannotUseFile = QT_TRANSLATE_NOOP("tavrel", "Cannot use this picture (%1): ");
const char* const kStagedCopyUnreadable =
    QT_TRANSLATE_NOOP("tavrel", "The staged BMP copy cannot be read.");
const char* const kNoStagingFolder =
    QT_TRANSLATE_NOOP("tavrel", "the folder for staged copies cannot be made");
const char* const kLeftOut =
    QT_TRANSLATE_NOOP("tavrel", "Only the first five pictures were used; %1 more were left out.");

// The slot (1 to 5) whose button the object is, or 0.
int SlotOfControl(const QObject* object) {
    const int id = tavrel::ControlId(object);
    return id >= IDC_SLOT1 && id < IDC_SLOT1 + kSlotCount ? id - IDC_SLOT1 + 1 : 0;
}

// The local file a drag carries, or an empty string.
QString DraggedLocalFile(const QMimeData* mime) {
    if (mime == nullptr || !mime->hasUrls() || mime->urls().isEmpty()) {
        return {};
    }
    const QUrl url = mime->urls().constFirst();
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

// Staged copy for a slot's picture: title + ".bmp" in the BMP folder, unless another filled
// slot already uses that name; then title + "-2.bmp", "-3.bmp", ... the first one free.
// Sharing a copy would make both slots show the picture staged last.
QString StagedPathFor(const CTavrelDlg& dlg, int index, const QString& title) {
    const QString stem = dlg.m_strBmpDir + QLatin1Char('/') + title;
    auto usedByOtherSlot = [&](const QString& path) {
        for (int i = 0; i < kSlotCount; ++i) {
            if (i != index && dlg.m_bSlotFilled[i] && dlg.m_strSlotBmpPath[i] == path) {
                return true;
            }
        }
        return false;
    };
    QString path = stem + QStringLiteral(".bmp");
    for (int n = 2; usedByOtherSlot(path); ++n) {
        path = stem + QStringLiteral("-%1.bmp").arg(n);
    }
    return path;
}

}  // namespace

void CTavrelDlg::ChooseSlotImage(int slot) {
    tavrel::FileDialog dialog(true, QStringLiteral("(*.*)|*.*"), QString(), 0,
                              tavrel::Tr(kOpenFilterName) + QLatin1String(kOpenFilterPatterns),
                              this);
    if (dialog.DoModal() != tavrel::kIdOk) {
        return;
    }
    FillSlotFromFile(slot, dialog.GetPathName());
}

bool CTavrelDlg::StageAsBmp(QString* reason) {
    const tavrel::Result<tavrel::Done> staged =
        tavrel::StagePictureAsBmp(Resolve(m_strSourcePath), Resolve(m_strStagePath));
    if (!staged && reason) {
        *reason = staged.Reason();
    }
    return staged.Ok();
}

bool CTavrelDlg::FillSlotFromFile(int slot, const QString& path) {
    if (slot < 1 || slot > kSlotCount) {
        return false;
    }
    const int index = slot - 1;
    m_strSourcePath = path;
    m_strSourceTitle = QFileInfo(path).completeBaseName();
    m_strStagePath = StagedPathFor(*this, index, m_strSourceTitle);
    const QString oldCopy = m_bSlotFilled[index] ? m_strSlotBmpPath[index] : QString();
    // A copy this window wrote and no slot uses any more, unless the slot keeps it.
    const auto releaseNewCopy = [this, &oldCopy] {
        if (m_strStagePath != oldCopy) {
            m_staging->Release(m_strStagePath);
        }
    };

    // A picture that cannot be used leaves the slot as it was.
    QString reason;
    if (m_strBmpDir.isEmpty()) {
        reason = tavrel::Tr(kNoStagingFolder);
    } else {
        m_staging->Claim(m_strStagePath);
        if (!StageAsBmp(&reason)) {
            releaseNewCopy();
        }
    }
    if (!reason.isEmpty()) {
        // The file is named: the reason alone (an incomplete file, too many pixels) would not
        // say which of the pictures chosen so far it is about.
        tavrel::ShowMessage(
            this,
            tavrel::Tr(kCannotUseFile).arg(tavrel::ShownFileName(QFileInfo(path).fileName())) +
                reason);
        return false;
    }
    auto thumb = std::make_unique<tavrel::DibSection>(
        LoadStagedPicture(m_strStagePath, m_rcSlot.width(), m_rcSlot.height()));
    if (thumb->IsNull()) {
        releaseNewCopy();
        tavrel::ShowMessage(this, tavrel::Tr(kCannotUse) + tavrel::Tr(kStagedCopyUnreadable));
        return false;
    }
    if (oldCopy != m_strStagePath) {
        m_staging->Release(oldCopy);
    }

    m_strSlotTitle[index] = m_strSourceTitle;
    m_strSlotBmpPath[index] = m_strStagePath;
    // Show the new thumbnail before the old one is released, so the button never shows a
    // released bitmap.
    tavrel::SetButtonBitmap(m_btnSlot[index], thumb.get());
    m_hSlotThumb[index] = std::move(thumb);
    if (!m_bSlotFilled[index]) {
        ++m_nSelectedCount;
    }
    m_bSlotFilled[index] = true;
    m_bSlotShown[index] = false;
    UpdateData(false);
    return true;
}

void CTavrelDlg::RemoveSlotImage(QObject* target, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress) {
        return;
    }
    if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton) {
        return;
    }
    const int slot = SlotOfControl(target);
    if (slot == 0 || !m_bSlotFilled[slot - 1]) {
        return;
    }
    EmptySlot(slot - 1);
    // The show's progress no longer matches the slots: end it rather than let it restart.
    EndPreviewShow();
}

bool CTavrelDlg::HandleSlotDrop(QObject* target, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return false;
    }
    const int slot = SlotOfControl(target);
    if (slot == 0) {
        return false;
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const QString path = DraggedLocalFile(drop->mimeData());
    if (path.isEmpty()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        // Filled once the drop has finished: a message box inside the drop would keep the
        // file manager waiting for the drag to end.
        QMetaObject::invokeMethod(
            this, [this, slot, path] { FillSlotFromFile(slot, path); }, Qt::QueuedConnection);
    }
    return true;
}

void CTavrelDlg::EnableSlotDrops() {
    for (QAbstractButton* button : m_btnSlot) {
        if (button != nullptr) {
            button->setAcceptDrops(true);
        }
    }
}

void CTavrelDlg::EmptySlot(int index) {
    tavrel::SetButtonBitmap(m_btnSlot[index], m_hWorkBitmap.get());
    m_staging->Release(m_strSlotBmpPath[index]);
    --m_nSelectedCount;
    m_bSlotFilled[index] = false;
    UpdateData(false);
    m_hSlotThumb[index].reset();
}

void CTavrelDlg::ClearAllSlots() {
    if (m_nSelectedCount == 0) {
        tavrel::ShowMessage(this, tavrel::Tr(kNothingToClear));
        return;
    }
    for (int index = kSlotCount - 1; index >= 0; --index) {
        if (m_bSlotFilled[index]) {
            EmptySlot(index);
        }
    }
    m_nSelectedCount = 0;
    EndPreviewShow();
}

void CTavrelDlg::OpenPictures(const QStringList& paths) {
    int slot = 1;
    for (const QString& path : paths.mid(0, kSlotCount)) {
        // An unusable picture says why and leaves its slot to the next one.
        if (FillSlotFromFile(slot, path)) {
            ++slot;
        }
    }
    if (paths.size() > kSlotCount) {
        tavrel::ShowMessage(this, tavrel::Tr(kLeftOut).arg(paths.size() - kSlotCount));
    }
}
