// Drives the real main dialog under the offscreen platform: a temporary work folder with the
// program's background picture, answers for its file dialogs, a record of its messages.
#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "gif_test_support.h"
#include "platform/window/file_dialog.h"
#include "tests/support/test_files.h"
#include "ui/tavrel_dlg.h"

namespace tavrel::test {

// The dialog with the timer handler made reachable.
class TestDialog : public CTavrelDlg {
public:
    using CTavrelDlg::CTavrelDlg;
    using CTavrelDlg::OnTimer;
};

QColor CentreOf(const QImage& image);
// The colour of pixel x, y of a frame giflib decoded.
QColor PixelOf(const DecodedFrame& frame, int x, int y);
inline const QColor kSlotColours[kSlotCount] = {Qt::red, Qt::green, Qt::blue, Qt::yellow,
                                                Qt::magenta};

class DialogHarness {
public:
    // freshChoices: the dialog starts from the default choices, not those a test left.
    explicit DialogHarness(bool freshChoices = true);
    ~DialogHarness();

    TestDialog& Dlg() { return *dialog_; }
    QString WorkPath(const QString& relativePath) const { return workDir_.filePath(relativePath); }
    // Writes a flat picture of one colour (PNG, JPEG or BMP by the name's extension).
    QString MakePicture(const QString& relativePath, QColor colour, QSize size = {64, 48}) const;

    // Clicks slot button 1 to 5 and answers its open dialog (nullopt: the user cancels).
    void Choose(int slot, const std::optional<QString>& path);
    // Chooses for each slot a flat picture "in/<slot>.png" of its colour in kSlotColours.
    void Fill(std::initializer_list<int> slotNumbers);
    // Clicks the generate button and answers its save dialog.
    void Generate(const std::optional<QString>& path);
    void PressRightButtonOn(int slot);
    // Closes and destroys the dialog; Dlg() must not be used afterwards.
    void CloseDialog() { dialog_.reset(); }
    void SelectSpeed(const QString& speed);
    // The centre colour of the picture a button shows (invalid when it shows none).
    QColor ButtonColour(const QAbstractButton* button) const;

    QStringList messages;
    // What the last file dialog was asked to show.
    FileDialogRequest lastRequest;
    // Runs inside each message box, like a message loop would run timers.
    std::function<void(const QString&)> duringMessage;

private:
    QTemporaryDir workDir_;
    QStringList answers_;
    std::unique_ptr<TestDialog> dialog_;
};

}  // namespace tavrel::test
