#include "app/tavrel_app.h"

#include <QTimer>

#include "platform/window/skin.h"
#include "ui/tavrel_dlg.h"

namespace {

const char* const kSkinFile = "Resources/Tavrel/simpleK.smf";
const char* const kDialogSkin = "Dialog";

// Starts the skin layer under that name and gives the dialogs the skin file's dialog skin,
// when the file loads.
void StartSkin(const QString& applicationName) {
    tavrel::SkinStart(nullptr, applicationName, 0, 0);
    if (tavrel::SkinLoadFile(QString::fromLatin1(kSkinFile)) != 0) {
        tavrel::SkinSetDialogSkin(QString::fromLatin1(kDialogSkin));
    }
}

}  // namespace

CTavrelApp::CTavrelApp() {
    m_gdiplusInput.GdiplusVersion = 1;
    m_gdiplusInput.DebugEventCallback = nullptr;
    m_gdiplusInput.SuppressBackgroundThread = 0;
    m_gdiplusInput.SuppressExternalCodecs = 0;
}

int CTavrelApp::InitInstance() {
    // The skin layer is started twice, first under the About box's title, then under the
    // program's name; each start loads the skin file anew.
    StartSkin(QString::fromUtf8("关于 Tavrel"));
    StartSkin(QStringLiteral("Tavrel"));

    tavrel::CodecStartup(&m_gdiplusToken, &m_gdiplusInput);

    {
        CTavrelDlg dialog;
        if (!m_startPictures.isEmpty()) {
            // After the dialog is shown, so that any message stands in front of it.
            QTimer::singleShot(0, &dialog,
                               [this, &dialog] { dialog.OpenPictures(m_startPictures); });
        }
        dialog.DoModal();
    }
    return 0;
}

int CTavrelApp::ExitInstance() {
    tavrel::CodecShutdown(m_gdiplusToken);
    tavrel::SkinEnd();
    return 0;
}
