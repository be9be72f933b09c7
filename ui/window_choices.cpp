#include "ui/window_choices.h"

#include <QDir>
#include <QSettings>
#include <algorithm>

#include "platform/result.h"

namespace tavrel {

namespace {

// Read from the environment at each use, so that XDG_CONFIG_HOME is honoured as it is now.
QString SettingsFile() {
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!QDir::isAbsolutePath(config)) {
        config = qEnvironmentVariable("HOME") + QStringLiteral("/.config");
    }
    return QDir::cleanPath(config + QStringLiteral("/tavrel/tavrel.conf"));
}

const char* const kKeepAspect = "frames/keepProportions";
const char* const kHighQuality = "frames/highQuality";
const char* const kMaxBytes = "file/maxBytes";
const char* const kCrossfade = "file/crossfade";

}  // namespace

QStringList SizeLimitTexts() {
    QStringList texts{Tr("No limit")};
    for (const uint64_t limit : kSizeLimits) {
        if (limit != 0) {
            texts << ShownFileSize(limit);
        }
    }
    return texts;
}

WindowChoices LoadWindowChoices() {
    const QSettings settings(SettingsFile(), QSettings::IniFormat);
    WindowChoices choices;
    choices.keepAspect = settings.value(QLatin1String(kKeepAspect), false).toBool();
    choices.highQuality = settings.value(QLatin1String(kHighQuality), false).toBool();
    choices.crossfade = settings.value(QLatin1String(kCrossfade), false).toBool();
    const uint64_t maxBytes = settings.value(QLatin1String(kMaxBytes), 0).toULongLong();
    if (std::ranges::find(kSizeLimits, maxBytes) != std::end(kSizeLimits)) {
        choices.maxBytes = maxBytes;
    }
    return choices;
}

void SaveWindowChoices(const WindowChoices& choices) {
    QSettings settings(SettingsFile(), QSettings::IniFormat);
    settings.setValue(QLatin1String(kKeepAspect), choices.keepAspect);
    settings.setValue(QLatin1String(kHighQuality), choices.highQuality);
    // As text: INI files keep 64-bit unsigned numbers only in Qt's binary variant form.
    settings.setValue(QLatin1String(kMaxBytes), QString::number(choices.maxBytes));
    settings.setValue(QLatin1String(kCrossfade), choices.crossfade);
}

QString ShownFileSize(uint64_t bytes) {
    if (bytes < 1'000) {
        return Tr("%1 bytes").arg(bytes);
    }
    if (bytes < 1'000'000) {
        return Tr("%1 kB").arg((bytes + 500) / 1'000);
    }
    const double megabytes = static_cast<double>(bytes) / 1e6;
    const int decimals = megabytes < 10 && bytes % 1'000'000 != 0 ? 1 : 0;
    return Tr("%1 MB").arg(megabytes, 0, 'f', decimals);
}

}  // namespace tavrel
