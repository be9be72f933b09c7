// Folders and the output file.
#pragma once

#include <QSaveFile>
#include <QString>
#include <memory>

#include "gif/output_file.h"

namespace tavrel {

bool FolderExists(const QString& path);
// Creates one folder (its parent must exist); false when it cannot.
bool CreateFolder(const QString& path);
QString CurrentDirectory();

// Why a write to the file failed, for the user: errorNumber is errno as the failing call
// left it (Qt often reports a full disk or a file-size limit only as "Unknown error").
QString WriteFailureReason(const QFileDevice& file, int errorNumber);

// The GIF output file: written to a temporary file beside the target and renamed over it
// only by Commit, so a failed run leaves any earlier file at that path intact.
class AtomicOutputFile : public OutputFile {
public:
    AtomicOutputFile();
    ~AtomicOutputFile() override;  // discards an uncommitted file
    bool Open(const QString& path, QString* reason);
    // Throws FileWriteError with the reason when the write fails.
    void Write(const void* bytes, std::size_t count) override;
    bool Commit(QString* reason);

private:
    std::unique_ptr<QSaveFile> file_;
};

}  // namespace tavrel
