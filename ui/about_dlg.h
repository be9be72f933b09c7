// The About box: program name and version, notice, web address and the application icon.
#pragma once

#include "platform/window/dialog.h"

class CAboutDlg : public tavrel::CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

protected:
    bool OnInitDialog() override;
};
