// The main dialog: construction, initialisation, data exchange and command routing. The
// slots, the preview and the generation command live in their own files.
#include "ui/tavrel_dlg.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QMouseEvent>

#include "platform/bitmap_loader.h"
#include "platform/files.h"
#include "platform/result.h"
#include "platform/window/picture_button.h"
#include "platform/window/staging_folder.h"
#include "platform/window/window_menu.h"
#include "res/resources.h"
#include "ui/about_dlg.h"
#include "ui/choices_dlg.h"
#include "ui/preview_placeholder.h"

namespace {

const char* const kBackgroundPicture = "Resources/Tavrel/back.bmp";

}  // namespace

CTavrelDlg::CTavrelDlg(QWidget* parent, const QString& workDir)
    : CDialog(tavrel::LoadDialogTemplate(IDD_TAVREL_DIALOG), parent),
      m_strImageDir(QString::fromUtf8("Resources/LoadResource1/Image/我的作品")),
      m_strSoundDir(QStringLiteral("Resources/LoadResource1/Sound/Sound")),
      m_strMovieDir(QStringLiteral("Resources/LoadResource1/Movie/Movie")),
      m_hIcon(tavrel::LoadResourceIcon(IDR_MAINFRAME)),
      m_workDir(workDir.isEmpty() ? tavrel::CurrentDirectory() : workDir),
      m_staging(std::make_unique<tavrel::StagingFolder>()) {
    // Staged copies go to this window's own folder in the cache, never shared with another
    // window and deleted when no slot uses them.
    m_strBmpDir = m_staging->Path();
    for (QString& path : m_strSlotBmpPath) {
        path = m_strBmpDir + QLatin1Char('/');
    }
}

CTavrelDlg::~CTavrelDlg() {
    // The staged copies go with the window (m_staging's destructor) once no run reads them.
    // The buttons only borrow the bitmaps, which die with this object before the buttons do.
    for (QAbstractButton* button : m_btnSlot) {
        if (button != nullptr) {
            tavrel::SetButtonBitmap(button, nullptr);
        }
    }
    if (m_btnPreview != nullptr) {
        tavrel::SetButtonBitmap(m_btnPreview, nullptr);
    }
}

QString CTavrelDlg::Resolve(const QString& relativePath) const {
    return QDir(m_workDir).filePath(relativePath);
}

void CTavrelDlg::DoDataExchange(tavrel::DataExchange& dx) {
    CDialog::DoDataExchange(dx);
    dx.Text(IDC_GIF_PATH, m_strGifPath);
    dx.Control(IDC_SPEED, m_comboSpeed);
    for (int i = 0; i < kSlotCount; ++i) {
        dx.Control(IDC_SLOT1 + i, m_btnSlot[i]);
    }
    dx.Control(IDC_PREVIEW_PICTURE, m_btnPreview);
}

bool CTavrelDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (tavrel::WindowMenu* menu = GetSystemMenu()) {
        const QString aboutText = tavrel::LoadResourceString(IDS_ABOUTBOX);
        if (!aboutText.isEmpty()) {
            menu->AppendSeparator();
            menu->AppendItem(IDM_ABOUTBOX, aboutText);
        }
        // Two choices of how the GIF is made, also in the choices dialog.
        menu->AppendSeparator();
        menu->AppendItem(IDM_KEEP_ASPECT, tavrel::Tr("Keep proportions"));
        menu->AppendItem(IDM_HIGH_QUALITY, tavrel::Tr("High quality"));
        for (const int item : {IDM_KEEP_ASPECT, IDM_HIGH_QUALITY}) {
            menu->FindItem(item)->setCheckable(true);
        }
        menu->SetCommandHandler([this](int commandId) { OnSysCommand(commandId); });
    }

    // One icon for the window and the task bar; it carries every size.
    setWindowIcon(m_hIcon);

    const auto screenRect = [](const QWidget* control) {
        return control == nullptr ? QRect()
                                  : QRect(control->mapToGlobal(QPoint(0, 0)), control->size());
    };
    m_rcSlot = screenRect(GetDlgItem(IDC_SLOT1));
    m_rcPreview = screenRect(GetDlgItem(IDC_PREVIEW_PICTURE));

    // The background is loaded once and shared by every picture button that shows it.
    tavrel::DibSection background = tavrel::LoadBitmapFromFile(
        Resolve(QString::fromLatin1(kBackgroundPicture)), m_rcSlot.width(), m_rcSlot.height());
    if (!background.IsNull()) {
        m_hWorkBitmap = std::make_unique<tavrel::DibSection>(std::move(background));
    }
    for (int i = kSlotCount - 1; i >= 0; --i) {
        if (m_btnSlot[i] != nullptr) {
            tavrel::SetButtonBitmap(m_btnSlot[i], m_hWorkBitmap.get());
        }
    }
    // The preview has a placeholder of its own: the slots' card would make it look like a
    // sixth slot.
    if (m_btnPreview != nullptr) {
        m_hPreviewPlaceholder = std::make_unique<tavrel::DibSection>(
            tavrel::MakePreviewPlaceholder(m_rcPreview.width(), m_rcPreview.height()));
        tavrel::SetButtonBitmap(m_btnPreview, m_hPreviewPlaceholder.get());
    }

    // The working folders are made on a first start only, told by the missing image folder.
    if (!tavrel::FolderExists(Resolve(m_strImageDir))) {
        const QString workingFolders[] = {
            QStringLiteral("Resources/LoadResource1"),
            QStringLiteral("Resources/LoadResource1/Image"),
            QStringLiteral("Resources/LoadResource1/Sound"),
            QStringLiteral("Resources/LoadResource1/Movie"),
            QStringLiteral("Resources/LoadResource1/BMP"),
            m_strImageDir,
            m_strSoundDir,
            m_strMovieDir,
        };
        for (const QString& folder : workingFolders) {
            tavrel::CreateFolder(Resolve(folder));
        }
    }

    if (m_comboSpeed != nullptr) {
        m_comboSpeed->insertItem(0, tavrel::Tr("Slow"));
        m_comboSpeed->insertItem(1, tavrel::Tr("Medium"));
        m_comboSpeed->insertItem(2, tavrel::Tr("Fast"));
        m_comboSpeed->setCurrentIndex(1);
        // Longer speed names than the template's box holds (English) widen it in place.
        // The skin's padding is not in the size hint: one letter more keeps the name whole.
        const int wanted = m_comboSpeed->sizeHint().width() +
                           m_comboSpeed->fontMetrics().horizontalAdvance(QLatin1Char('M'));
        m_comboSpeed->resize(std::max(m_comboSpeed->width(), wanted), m_comboSpeed->height());
        m_strSpeed = m_comboSpeed->itemText(m_comboSpeed->currentIndex());
    }

    EnableSlotDrops();
    ApplyChoices(tavrel::LoadWindowChoices());
    return true;
}

void CTavrelDlg::OnCommand(int controlId, int notifyCode) {
    if (notifyCode == tavrel::kCbnSelChange) {
        if (controlId == IDC_SPEED) {
            OnSpeedChanged();
        }
        return;
    }
    if (controlId >= IDC_SLOT1 && controlId < IDC_SLOT1 + kSlotCount) {
        ChooseSlotImage(controlId - (IDC_SLOT1 - 1));
        return;
    }
    switch (controlId) {
        case IDC_GENERATE:  // also what Esc sends
            OnGenerateGif();
            break;
        case IDC_CLEAR:
            ClearAllSlots();
            break;
        case IDC_PREVIEW:
            OnPreview();
            break;
        case IDC_FORMATS_NOTE:
            OnFormatsNote();
            break;
        case IDC_CHOICES:
            OnChoices();
            break;
        default:
            CDialog::OnCommand(controlId, notifyCode);
    }
}

bool CTavrelDlg::PreTranslateMessage(QObject* target, QEvent* event) {
    if (SwallowInputDuringRun(event)) {
        return true;
    }
    if (HandleSlotDrop(target, event)) {
        return true;
    }
    RemoveSlotImage(target, event);

    // The window menu opens on Alt+Space anywhere in the dialog, or on a right click on the
    // dialog's free area (group boxes and plain labels let clicks through to the dialog).
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space && key->modifiers() == Qt::AltModifier) {
            ShowWindowMenu(mapToGlobal(QPoint(0, 0)));
            return true;
        }
    } else if (event->type() == QEvent::MouseButtonPress && target == this) {
        // A press that a control ignored reaches the dialog too; only one on no control counts.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton &&
            childAt(mapFromGlobal(mouse->globalPosition().toPoint())) == nullptr) {
            ShowWindowMenu(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return CDialog::PreTranslateMessage(target, event);
}

void CTavrelDlg::ShowWindowMenu(const QPoint& globalPos) {
    if (tavrel::WindowMenu* menu = GetSystemMenu()) {
        menu->Popup(globalPos);
    }
}

void CTavrelDlg::OnSysCommand(int commandId) {
    const auto checked = [this](int item) {
        const tavrel::WindowMenu* menu = GetSystemMenu();
        const QAction* action = menu != nullptr ? menu->FindItem(item) : nullptr;
        return action != nullptr && action->isChecked();
    };
    if ((commandId & ~0xF) == IDM_KEEP_ASPECT || (commandId & ~0xF) == IDM_HIGH_QUALITY) {
        tavrel::WindowChoices choices = CurrentChoices();
        choices.keepAspect = checked(IDM_KEEP_ASPECT);
        choices.highQuality = checked(IDM_HIGH_QUALITY);
        ApplyChoices(choices);
        return;
    }
    if ((commandId & ~0xF) == IDM_ABOUTBOX) {
        CAboutDlg about(this);
        about.DoModal();
        return;
    }
    DefaultSysCommand(commandId);
}

QString CTavrelDlg::StagingPath() const {
    return m_staging->Path();
}

void CTavrelDlg::OnChoices() {
    CChoicesDlg choices(CurrentChoices(), this);
    if (choices.exec() == QDialog::Accepted) {
        ApplyChoices(choices.Choices());
    }
}
