// Drives the real main dialog under the offscreen platform: a temporary work folder with a
// copy of the program's Resources, answers for its file dialogs, a record of its messages.
#pragma once

#include <QColor>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/file_dialog.h"
#include "ui/tavrel_dlg.h"

namespace tavrel::test {

// The dialog with the handlers that tests call directly made reachable.
class TestDialog : public CTavrelDlg {
public:
    using CTavrelDlg::CTavrelDlg;
    using CTavrelDlg::OnTimer;
};

// A file of the shared test data.
QString TestData(const QString& relativePath);

class DialogHarness {
public:
    DialogHarness();
    ~DialogHarness();
    DialogHarness(const DialogHarness&) = delete;
    DialogHarness& operator=(const DialogHarness&) = delete;

    TestDialog& Dlg() { return *dialog_; }
    // A path inside the temporary work folder.
    QString WorkPath(const QString& relativePath) const;
    // Writes a flat picture of one colour (PNG, JPEG or BMP by the name's extension).
    QString MakePicture(const QString& relativePath, QColor colour, int width = 64,
                        int height = 48) const;

    // The next file dialog returns this path (nullopt: the user cancels).
    void AnswerFileDialog(std::optional<QString> path) { answers_.push_back(std::move(path)); }
    // Clicks slot button 1 to 5 and answers its open dialog.
    void Choose(int slot, std::optional<QString> path);
    // Clicks the generate button and answers its save dialog.
    void Generate(std::optional<QString> path);
    void PressRightButtonOn(int slot);
    void SelectSpeed(const QString& speed);

    // The picture a button shows now, as an image (null when it shows none).
    QImage ButtonPicture(QAbstractButton* button) const;

    const std::vector<FileDialogRequest>& FileDialogs() const { return requests_; }
    QStringList messages;
    // Runs inside each message box, like a message loop would run timers.
    std::function<void(const QString&)> duringMessage;

private:
    QTemporaryDir workDir_;
    std::deque<std::optional<QString>> answers_;
    std::vector<FileDialogRequest> requests_;
    std::unique_ptr<TestDialog> dialog_;
};

// The centre pixel's colour is close to the expected one (lossy codecs, quantising).
bool CloseTo(QColor actual, QColor expected, int tolerance = 24);

}  // namespace tavrel::test
