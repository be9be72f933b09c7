// The slide show on the preview button.
#include "ui/tavrel_dlg.h"

void CTavrelDlg::OnSpeedChanged() {}
void CTavrelDlg::OnPreview() {}
void CTavrelDlg::OnTimer(int /*timerId*/) {}
void CTavrelDlg::EndPreviewShow() {}
