// The GIF generation command.
#include "ui/tavrel_dlg.h"

void CTavrelDlg::OnGenerateGif() {}
