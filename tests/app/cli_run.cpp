#include "cli_run.h"

#include <gif_lib.h>

#include <QFile>
#include <QProcess>
#include <cstring>

namespace tavrel::cli_test {
namespace {

ToolRun Run(const QString& program, const QStringList& arguments, const QStringList& extraEnv) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : extraEnv) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        env.insert(entry.left(eq), entry.mid(eq + 1));
    }
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForFinished(120000))
        return run;
    run.crashed = process.exitStatus() != QProcess::NormalExit;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace

ToolRun RunTool(const QStringList& arguments, const QStringList& extraEnv) {
    return Run(QStringLiteral(TAVREL_GIF_EXE), arguments, extraEnv);
}

ToolRun RunToolUnderShell(const QString& shellPrefix, const QStringList& arguments) {
    QStringList shellArguments{QStringLiteral("-c"), shellPrefix + QStringLiteral(" exec \"$@\""),
                               QStringLiteral("sh"), QStringLiteral(TAVREL_GIF_EXE)};
    shellArguments += arguments;
    return Run(QStringLiteral("/bin/sh"), shellArguments, {});
}

QString TestData(const QString& relativePath) {
    return QStringLiteral(TAVREL_TESTDATA_DIR "/") + relativePath;
}

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

GifFile DecodeGif(const QString& path) {
    GifFile result;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(QFile::encodeName(path).constData(), &error);
    if (!gif)
        return result;
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return result;
    }
    result.screenWidth = gif->SWidth;
    result.screenHeight = gif->SHeight;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11 &&
                std::memcmp(block.Bytes, "NETSCAPE2.0", 11) == 0)
                result.loops = true;
        }
        GifFrame frame;
        frame.width = image.ImageDesc.Width;
        frame.height = image.ImageDesc.Height;
        GraphicsControlBlock control;
        if (DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK) {
            frame.delay = control.DelayTime;
            frame.transparent = control.TransparentColor != NO_TRANSPARENT_COLOR;
        }
        const ColorMapObject* map =
            image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        if (map)
            frame.colours =
                QByteArray(reinterpret_cast<const char*>(map->Colors),
                           static_cast<qsizetype>(map->ColorCount * sizeof(GifColorType)));
        frame.indices = QByteArray(reinterpret_cast<const char*>(image.RasterBits),
                                   static_cast<qsizetype>(frame.width) * frame.height);
        result.frames.push_back(frame);
    }
    DGifCloseFile(gif, &error);
    result.ok = true;
    return result;
}

}  // namespace tavrel::cli_test
