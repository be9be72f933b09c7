// Folders, and why a write failed.
#pragma once

#include <QFileDevice>
#include <QString>

namespace tavrel {

bool FolderExists(const QString& path);
// Creates one folder (its parent must exist); false when it cannot.
bool CreateFolder(const QString& path);
QString CurrentDirectory();

// Why a write to the file failed, for the user: errorNumber is errno as the failing call
// left it (Qt often reports a full disk or a file-size limit only as "Unknown error").
QString WriteFailureReason(const QFileDevice& file, int errorNumber);

}  // namespace tavrel
