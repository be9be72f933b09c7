// Runs the tavrel-gif program for the tests and reads GIF files back with giflib.
#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <vector>

namespace tavrel::cli_test {

struct ToolRun {
    int exitCode = -1;
    bool crashed = false;
    QString out;
    QString err;
};

// Runs tavrel-gif with the arguments; extraEnv entries are added to its environment.
ToolRun RunTool(const QStringList& arguments, const QStringList& extraEnv = {});

// Runs a shell command line with "$@" set to the tool followed by the arguments.
ToolRun RunToolUnderShell(const QString& shellPrefix, const QStringList& arguments);

QString TestData(const QString& relativePath);
QByteArray ReadBytes(const QString& path);
void WriteBytes(const QString& path, const QByteArray& bytes);

// One decoded frame: its size, delay and what it shows (colour map and indices).
struct GifFrame {
    int width = 0;
    int height = 0;
    int delay = -1;
    bool transparent = false;
    QByteArray colours;
    QByteArray indices;
};

struct GifFile {
    bool ok = false;
    int screenWidth = 0;
    int screenHeight = 0;
    bool loops = false;
    std::vector<GifFrame> frames;
};

GifFile DecodeGif(const QString& path);

}  // namespace tavrel::cli_test
