// File-open and save dialogs that take the classic filter strings ("desc|patterns||").
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
    QString initialFolder;  // may be empty
    QWidget* owner = nullptr;
};

class FileDialog {
public:
    FileDialog(bool open, const QString& defaultExtension, const QString& fileName,
               unsigned flags, const QString& filter, QWidget* owner);
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

private:
    FileDialogRequest request_;
    QString path_;
};

}  // namespace tavrel
