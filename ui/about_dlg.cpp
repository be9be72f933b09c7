#include "ui/about_dlg.h"

#include <QLabel>
#include <algorithm>

#include "res/resources.h"

#ifndef TAVREL_VERSION
#define TAVREL_VERSION "unknown"
#endif

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
    // The program's name line carries the version of this build.
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label->text().contains(QStringLiteral("%1"))) {
            label->setText(label->text().arg(QStringLiteral(TAVREL_VERSION)));
        }
    }
    return true;
}
