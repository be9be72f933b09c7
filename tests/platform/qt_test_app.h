// Shared helpers of the platform tests: one QApplication per test program, test data paths.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QString>

#include "tests/qt_app_environment.h"

namespace tavrel::test {

// The test program's QApplication, made before the first test and destroyed after the last
// (see qt_app_environment.h for why it must not be a static).
inline QApplication& App() {
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

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
