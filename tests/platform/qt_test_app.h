// Shared helpers of the platform tests: test data paths and whole-file reads and writes.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include "tests/qt_app_environment.h"

namespace tavrel::test {

inline QString TestData(const QString& relative) {
    return QStringLiteral(TAVREL_TESTDATA_DIR "/") + relative;
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace tavrel::test
