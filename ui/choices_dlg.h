// The small dialog behind the main dialog's "设置…" button: the choices of how the GIF is
// made, in one place, for users who never open the window menu.
#pragma once

#include <QDialog>

#include "ui/window_choices.h"

class QCheckBox;
class QComboBox;

class CChoicesDlg : public QDialog {
    Q_OBJECT
public:
    CChoicesDlg(const tavrel::WindowChoices& choices, QWidget* parent);
    // The choices as the dialog shows them now.
    tavrel::WindowChoices Choices() const;

    QCheckBox* m_checkKeepAspect = nullptr;
    QCheckBox* m_checkHighQuality = nullptr;
    QComboBox* m_comboSizeLimit = nullptr;
    QCheckBox* m_checkCrossfade = nullptr;
};
