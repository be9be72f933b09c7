// File-open and save dialogs that take the classic filter strings ("desc|patterns||").
// The desktop's own dialog is used where the platform offers one (a platform theme or the
// portal), Qt's own otherwise. Each kind starts where the user last chose a file with it;
// the first time in the caller's initial folder when that exists, else in the user's
// pictures folder (XDG), else at home.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace tavrel {

inline constexpr unsigned kOfnOverwritePrompt = 0x2;
inline constexpr unsigned kOfnHideReadOnly = 0x4;

struct FileDialogRequest {
    bool open = true;
    QString defaultExtension;
    QString fileName;
    unsigned flags = 0;
    QString filter;         // classic form
    QString initialFolder;  // the caller's suggestion; may be empty
    QWidget* owner = nullptr;
};

class FileDialog {
public:
    FileDialog(bool open, const QString& defaultExtension, const QString& fileName, unsigned flags,
               const QString& filter, QWidget* owner);
    void SetInitialFolder(const QString& folder) { request_.initialFolder = folder; }
    const FileDialogRequest& Request() const { return request_; }

    // 1 when the user confirmed a file, 2 when cancelled.
    int DoModal();
    QString GetPathName() const { return path_; }
    // The chosen file's name without folder and extension.
    QString GetFileTitle() const;

    // "desc|patterns|desc|patterns||" -> Qt's "desc (patterns);;..." form.
    static QString ToQtFilter(const QString& classicFilter);

    // Tests answer file dialogs through this hook: return the chosen path, or nullopt for a
    // cancel. The default extension is still added to a returned name without one.
    using Hook = std::function<std::optional<QString>(const FileDialogRequest&)>;
    static void SetHook(Hook hook);

    // Tests force Qt's own dialog, which they can reach and answer, whatever the desktop.
    static void SetQtDialogOnly(bool qtOnly);
    // Where the next dialog of that kind starts (the request a hook sees carries it too).
    static QString StartFolder(const FileDialogRequest& request);
    // Forgets the folders of earlier choices, as at program start.
    static void ForgetLastFolders();

private:
    FileDialogRequest request_;
    QString path_;
};

}  // namespace tavrel
