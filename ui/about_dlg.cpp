#include "ui/about_dlg.h"

#include <QLabel>
#include <algorithm>

#include "res/resources.h"

CAboutDlg::CAboutDlg(QWidget* parent) : CDialog(tavrel::LoadDialogTemplate(IDD_ABOUTBOX), parent) {}

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    const QIcon icon = tavrel::LoadResourceIcon(IDR_MAINFRAME);
    setWindowIcon(icon);
    // The icon control shows the application icon at the size of the control.
    if (auto* label = findChild<QLabel*>(QStringLiteral("iconStatic"))) {
        const int side = std::min(label->width(), label->height());
        label->setPixmap(icon.pixmap(side, side));
    }
    return true;
}
