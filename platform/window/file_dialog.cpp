#include "platform/window/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QTreeView>
#include <algorithm>
#include <utility>

#include "platform/files.h"
#include "platform/result.h"

namespace tavrel {

namespace {

FileDialog::Hook& HookSlot() {
    static FileDialog::Hook hook;
    return hook;
}

bool& QtDialogOnly() {
    static bool qtOnly = false;
    return qtOnly;
}

// The folders of the last confirmed open and save dialogs, for this run of the program.
struct LastFolders {
    QString open;
    QString save;
};

LastFolders& Last() {
    static LastFolders folders;
    return folders;
}

QString PicturesFolder() {
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return FolderExists(pictures) ? pictures : QDir::homePath();
}

// "*.jpg" -> "*.[jJ][pP][gG]": Qt matches name filters case-sensitively on Linux, while the
// filters are meant to find IMG_0001.JPG and a.gif alike.
QString CaseInsensitivePattern(const QString& pattern) {
    QString out;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toLower() != c.toUpper()) {
            out += u'[';
            out += c.toLower();
            out += c.toUpper();
            out += u']';
        } else {
            out += c;
        }
    }
    return out;
}

// A default extension is used only when it is a plain one such as "GIF"; the open dialog is
// given "(*.*)|*.*", which must never end up on a file name.
bool IsPlainExtension(const QString& extension) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_]+$"));
    return plain.match(extension).hasMatch();
}

QString WithDefaultExtension(const QString& path, const QString& extension) {
    if (path.isEmpty() || !IsPlainExtension(extension) || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    // "name." counts as a name without extension, as in the classic dialogs.
    QString result = path;
    if (!result.endsWith(u'.')) {
        result += u'.';
    }
    return result + extension;
}

// Qt's own dialog names folders in English whatever the language; the rest of its kinds come
// from the MIME database in the user's language.
class TranslatedKinds : public QFileIconProvider {
public:
    QString type(const QFileInfo& info) const override {
        return info.isDir() ? Tr("Folder") : QFileIconProvider::type(info);
    }
};

// Qt's own dialog: no hidden files, folder kinds in the window's language, and wide enough
// that names, sizes, kinds and dates show whole instead of "12....KiB". The desktop's own
// dialog keeps its own ways.
void ShowWholeColumns(QFileDialog& dialog, QFileIconProvider& kinds) {
    dialog.setFilter(dialog.filter() & ~QDir::Hidden);
    dialog.setIconProvider(&kinds);
    const QFontMetrics metrics(dialog.font());
    dialog.resize(std::max(dialog.width(), metrics.horizontalAdvance(QLatin1Char('M')) * 80),
                  std::max(dialog.height(), metrics.height() * 28));
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column) {
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
        }
    }
}

std::optional<QString> RunQtDialog(const FileDialogRequest& request) {
    TranslatedKinds kinds;  // outlives the dialog that uses it
    QFileDialog dialog(request.owner);
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog, QtDialogOnly());
    // The descriptions already name their patterns; hide the expanded ones.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!(request.flags & kOfnOverwritePrompt)) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (IsPlainExtension(request.defaultExtension)) {
        // Qt adds it before its own overwrite check, so the prompt sees the final name.
        dialog.setDefaultSuffix(request.defaultExtension);
    }
    const QString filter = FileDialog::ToQtFilter(request.filter);
    if (!filter.isEmpty()) {
        dialog.setNameFilters(filter.split(QStringLiteral(";;")));
    }
    dialog.setDirectory(request.initialFolder);
    if (!request.fileName.isEmpty()) {
        dialog.selectFile(request.fileName);
    }
    ShowWholeColumns(dialog, kinds);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().constFirst();
}

}  // namespace

FileDialog::FileDialog(bool open, const QString& defaultExtension, const QString& fileName,
                       unsigned flags, const QString& filter, QWidget* owner) {
    request_.open = open;
    request_.defaultExtension = defaultExtension;
    request_.fileName = fileName;
    request_.flags = flags;
    request_.filter = filter;
    request_.owner = owner;
}

int FileDialog::DoModal() {
    FileDialogRequest shown = request_;
    shown.initialFolder = StartFolder(request_);
    const std::optional<QString> chosen = HookSlot() ? HookSlot()(shown) : RunQtDialog(shown);
    if (!chosen || chosen->isEmpty()) {
        return 2;
    }
    path_ = WithDefaultExtension(*chosen, request_.defaultExtension);
    (request_.open ? Last().open : Last().save) = QFileInfo(path_).absolutePath();
    return 1;
}

QString FileDialog::StartFolder(const FileDialogRequest& request) {
    const QString& last = request.open ? Last().open : Last().save;
    if (FolderExists(last)) {
        return last;
    }
    if (FolderExists(request.initialFolder)) {
        return request.initialFolder;
    }
    return PicturesFolder();
}

void FileDialog::SetQtDialogOnly(bool qtOnly) {
    QtDialogOnly() = qtOnly;
}

void FileDialog::ForgetLastFolders() {
    Last() = LastFolders();
}

QString FileDialog::GetFileTitle() const {
    return QFileInfo(path_).completeBaseName();
}

QString FileDialog::ToQtFilter(const QString& classicFilter) {
    const QStringList parts = classicFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        if (description.isEmpty()) {
            break;  // "||" ends the list
        }
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            patterns << CaseInsensitivePattern(pattern.trimmed());
        }
        // Qt takes the last parenthesised group as the patterns, space separated.
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(u' '));
    }
    return filters.join(QStringLiteral(";;"));
}

void FileDialog::SetHook(Hook hook) {
    HookSlot() = std::move(hook);
}

}  // namespace tavrel
