// Filling the five image slots from picture files and emptying them again.
#include "ui/tavrel_dlg.h"

void CTavrelDlg::ChooseSlotImage(int /*slot*/) {}
void CTavrelDlg::StageAsBmp() {}
void CTavrelDlg::RemoveSlotImage(QObject* /*target*/, QEvent* /*event*/) {}
bool CTavrelDlg::HandleSlotDrop(QObject* /*target*/, QEvent* /*event*/) { return false; }
void CTavrelDlg::EnableSlotDrops() {}
void CTavrelDlg::EmptySlot(int /*index*/) {}
void CTavrelDlg::ClearAllSlots() {}
bool CTavrelDlg::FillSlotFromFile(int /*slot*/, const QString& /*path*/) { return false; }
