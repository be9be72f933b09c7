// Shared by the Qt tests: the shared test pictures, whole-file reads and writes, what a folder
// holds, and colours compared with a tolerance.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdlib>

namespace tavrel::test {

inline QString TestData(const QString& relative) {
    return QStringLiteral(TAVREL_TESTDATA_DIR "/") + relative;
}

inline QByteArray FileContent(const QString& path) {  // empty when unreadable
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QStringList Entries(const QString& folder) {  // hidden ones, FIFOs and the like too
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// The colour is close to the expected one (lossy codecs, quantising).
inline bool CloseTo(QColor actual, QColor expected, int tolerance = 24) {
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

}  // namespace tavrel::test
