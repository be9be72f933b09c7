// Shared helpers of the platform tests: one QApplication per test program, test data paths.
#pragma once

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QString>

namespace tavrel::test {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "Tavrel";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
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
