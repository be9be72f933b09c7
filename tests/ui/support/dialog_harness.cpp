#include "support/dialog_harness.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMouseEvent>

#include "platform/bitmap_loader.h"
#include "platform/image_codecs.h"
#include "platform/message_box.h"
#include "tests/qt_app_environment.h"

namespace tavrel::test {

namespace {

// The codec layer, started once for the whole test program (the application itself comes
// from the shared test environment).
void EnsureCodecs() {
    static const bool started = [] {
        static uintptr_t token = 0;
        CodecStartupInput input;
        return CodecStartup(&token, &input) == CodecStatus::Ok;
    }();
    ASSERT_TRUE(started);
}

void CopyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        if (it.fileInfo().isDir()) {
            QDir().mkpath(target);
        } else {
            QFile::copy(source, target);
        }
    }
}

// Runs the dialog's own start-up (controls, initialisation) and shows it without a modal
// loop, so the test can drive it step by step.
void InitialiseWithoutModalLoop(CTavrelDlg& dialog) {
    ASSERT_TRUE(dialog.Create());
    dialog.show();
}

}  // namespace

QString TestData(const QString& relativePath) {
    return QStringLiteral(TAVREL_TESTDATA_DIR) + QLatin1Char('/') + relativePath;
}

DialogHarness::DialogHarness() {
    EnsureCodecs();
    CopyFolder(QStringLiteral(TAVREL_SOURCE_DIR) + QStringLiteral("/Resources"),
               WorkPath(QStringLiteral("Resources")));
    FileDialog::SetHook([this](const FileDialogRequest& request) -> std::optional<QString> {
        requests_.push_back(request);
        if (answers_.empty()) {
            ADD_FAILURE() << "a file dialog opened that the test did not expect";
            return std::nullopt;
        }
        auto answer = answers_.front();
        answers_.pop_front();
        return answer;
    });
    SetMessageBoxHook([this](const QString&, const QString& text) {
        messages << text;
        if (duringMessage) {
            duringMessage(text);
        }
    });
    dialog_ = std::make_unique<TestDialog>(nullptr, workDir_.path());
    InitialiseWithoutModalLoop(*dialog_);
}

DialogHarness::~DialogHarness() {
    dialog_.reset();
    FileDialog::SetHook(nullptr);
    SetMessageBoxHook(nullptr);
    EXPECT_TRUE(answers_.empty()) << "a file dialog the test expected did not open";
}

QString DialogHarness::WorkPath(const QString& relativePath) const {
    return workDir_.filePath(relativePath);
}

QString DialogHarness::MakePicture(const QString& relativePath, QColor colour, int width,
                                   int height) const {
    const QString path = WorkPath(relativePath);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    EXPECT_TRUE(image.save(path)) << path.toStdString();
    return path;
}

void DialogHarness::Choose(int slot, std::optional<QString> path) {
    AnswerFileDialog(std::move(path));
    Dlg().SendCommand(IDC_SLOT1 + slot - 1);
}

void DialogHarness::Generate(std::optional<QString> path) {
    AnswerFileDialog(std::move(path));
    Dlg().SendCommand(IDC_GENERATE);
}

void DialogHarness::PressRightButtonOn(int slot) {
    QAbstractButton* button = Dlg().m_btnSlot[slot - 1];
    const QPointF inside(button->width() / 2.0, button->height() / 2.0);
    QMouseEvent press(QEvent::MouseButtonPress, inside, button->mapToGlobal(inside),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, button->mapToGlobal(inside),
                        Qt::RightButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &release);
}

void DialogHarness::SelectSpeed(const QString& speed) {
    QComboBox* combo = Dlg().m_comboSpeed;
    const int index = combo->findText(speed);
    ASSERT_GE(index, 0) << speed.toStdString();
    combo->setCurrentIndex(index);
    Dlg().SendCommand(IDC_SPEED, kCbnSelChange);
}

QImage DialogHarness::ButtonPicture(QAbstractButton* button) const {
    const DibSection* bitmap = ButtonBitmap(button);
    return bitmap == nullptr ? QImage() : DibToImage(*bitmap);
}

bool CloseTo(QColor actual, QColor expected, int tolerance) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

}  // namespace tavrel::test
