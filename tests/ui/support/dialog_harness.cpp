#include "support/dialog_harness.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QMouseEvent>

#include "platform/bitmap_loader.h"
#include "platform/image_codecs.h"
#include "platform/window/message_box.h"
#include "platform/window/picture_button.h"
#include "tests/qt_app_environment.h"

namespace tavrel::test {

QColor PixelOf(const DecodedFrame& frame, int x, int y) {
    const std::size_t at =
        3u * frame.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.width) +
                           static_cast<std::size_t>(x)];
    return QColor(frame.palette[at], frame.palette[at + 1], frame.palette[at + 2]);
}

QColor CentreOf(const QImage& image) {
    return image.isNull() ? QColor() : image.pixelColor(image.width() / 2, image.height() / 2);
}

DialogHarness::DialogHarness(bool freshChoices) {
    // The codec layer is started once for the whole test program.
    static uintptr_t token = 0;
    static const CodecStartupInput input;
    static const bool started = CodecStartup(&token, &input) == CodecStatus::Ok;
    EXPECT_TRUE(started);
    QDir().mkpath(WorkPath(QStringLiteral("Resources/Tavrel")));
    QFile::copy(QStringLiteral(TAVREL_SOURCE_DIR "/Resources/Tavrel/back.bmp"),
                WorkPath(QStringLiteral("Resources/Tavrel/back.bmp")));
    FileDialog::SetHook([this](const FileDialogRequest& request) -> std::optional<QString> {
        lastRequest = request;
        if (answers_.empty()) {
            ADD_FAILURE() << "a file dialog opened that the test did not expect";
            return std::nullopt;
        }
        // A null path stands for a cancelled dialog.
        const QString answer = answers_.takeFirst();
        return answer.isNull() ? std::nullopt : std::optional<QString>(answer);
    });
    SetMessageBoxHook([this](const QString&, const QString& text) {
        messages << text;
        if (duringMessage) {
            duringMessage(text);
        }
    });
    if (freshChoices) {
        SaveWindowChoices({});
    }
    // Started without a modal loop, so that the test drives it step by step.
    dialog_ = std::make_unique<TestDialog>(nullptr, workDir_.path());
    EXPECT_TRUE(dialog_->Create());
    dialog_->show();
}

DialogHarness::~DialogHarness() {
    dialog_.reset();
    FileDialog::SetHook(nullptr);
    SetMessageBoxHook(nullptr);
    EXPECT_TRUE(answers_.empty()) << "a file dialog the test expected did not open";
}

QString DialogHarness::MakePicture(const QString& relativePath, QColor colour, QSize size) const {
    QString path = WorkPath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path)) << path.toStdString();
    return path;
}

void DialogHarness::Choose(int slot, const std::optional<QString>& path) {
    answers_.append(path.value_or(QString()));
    Dlg().SendCommand(IDC_SLOT1 + slot - 1);
}

void DialogHarness::Fill(std::initializer_list<int> slotNumbers) {
    for (int slot : slotNumbers) {
        Choose(slot, MakePicture(QStringLiteral("in/%1.png").arg(slot), kSlotColours[slot - 1]));
    }
}

void DialogHarness::Generate(const std::optional<QString>& path) {
    answers_.append(path.value_or(QString()));
    Dlg().SendCommand(IDC_GENERATE);
}

void DialogHarness::PressRightButtonOn(int slot) {
    QAbstractButton* button = Dlg().m_btnSlot[slot - 1];
    const QPointF inside(button->width() / 2.0, button->height() / 2.0);
    for (auto [type, buttons] : {std::pair{QEvent::MouseButtonPress, Qt::RightButton},
                                 std::pair{QEvent::MouseButtonRelease, Qt::NoButton}}) {
        QMouseEvent event(type, inside, button->mapToGlobal(inside), Qt::RightButton, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(button, &event);
    }
}

void DialogHarness::SelectSpeed(const QString& speed) {
    const int index = Dlg().m_comboSpeed->findText(speed);
    ASSERT_GE(index, 0) << speed.toStdString();
    Dlg().m_comboSpeed->setCurrentIndex(index);
    Dlg().SendCommand(IDC_SPEED, kCbnSelChange);
}

QColor DialogHarness::ButtonColour(const QAbstractButton* button) const {
    const DibSection* bitmap = ButtonBitmap(button);
    return bitmap == nullptr ? QColor() : CentreOf(DibToImage(*bitmap));
}

}  // namespace tavrel::test
