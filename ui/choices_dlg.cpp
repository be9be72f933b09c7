#include "ui/choices_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "platform/result.h"

CChoicesDlg::CChoicesDlg(const tavrel::WindowChoices& choices, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tavrel::Tr("Settings"));
    m_checkKeepAspect = new QCheckBox(tavrel::Tr("Keep proportions"), this);
    m_checkHighQuality = new QCheckBox(tavrel::Tr("High quality"), this);
    m_comboSizeLimit = new QComboBox(this);
    m_comboSizeLimit->addItems(tavrel::SizeLimitTexts());
    m_checkCrossfade = new QCheckBox(tavrel::Tr("Crossfade"), this);

    m_checkKeepAspect->setChecked(choices.keepAspect);
    m_checkHighQuality->setChecked(choices.highQuality);
    const auto* limit = std::ranges::find(tavrel::kSizeLimits, choices.maxBytes);
    m_comboSizeLimit->setCurrentIndex(
        limit == std::end(tavrel::kSizeLimits)
            ? 0
            : static_cast<int>(std::distance(std::begin(tavrel::kSizeLimits), limit)));
    m_checkCrossfade->setChecked(choices.crossfade);

    auto* form = new QFormLayout;
    form->addRow(m_checkKeepAspect);
    form->addRow(m_checkHighQuality);
    form->addRow(tavrel::Tr("Size limit:"), m_comboSizeLimit);
    form->addRow(m_checkCrossfade);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

tavrel::WindowChoices CChoicesDlg::Choices() const {
    tavrel::WindowChoices choices;
    choices.keepAspect = m_checkKeepAspect->isChecked();
    choices.highQuality = m_checkHighQuality->isChecked();
    const int index = m_comboSizeLimit->currentIndex();
    if (index >= 0 && index < static_cast<int>(std::size(tavrel::kSizeLimits))) {
        choices.maxBytes = tavrel::kSizeLimits[index];
    }
    choices.crossfade = m_checkCrossfade->isChecked();
    return choices;
}
