// A small parser of our own: it keeps every message to one line and never exits the process,
// so the caller decides what goes to stdout, stderr and the exit code.
#include "app/cli_options.h"

#include <QColor>
#include <QCoreApplication>
#include <QRegularExpression>
#include <optional>

#include "frames/gif_run.h"
#include "frames/size_limit.h"
#include "frames/speed.h"
#include "platform/result.h"

namespace tavrel {
namespace {

std::optional<uint16_t> ParseDelay(const QString& text) {
    // Digits only: toUInt alone would accept "+5" and surrounding blanks.
    if (text.isEmpty() || text.size() > 5) {
        return std::nullopt;
    }
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
    }
    const unsigned value = text.toUInt();
    if (value < kMinCliDelay || value > kMaxCliDelay) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(value);
}

// Hundredths of a second, digits only, 0 to the longest fade.
std::optional<int> ParseFade(const QString& text) {
    if (text.isEmpty() || text.size() > 4) {
        return std::nullopt;
    }
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
    }
    const int value = text.toInt();
    if (value > kMaxFadeCentiseconds) {
        return std::nullopt;
    }
    return value;
}

// "WxH" with each side from 1 to 4096.
std::optional<std::pair<int, int>> ParseSize(const QString& text) {
    static const QRegularExpression kSize(QStringLiteral("^([0-9]{1,4})x([0-9]{1,4})$"));
    const QRegularExpressionMatch match = kSize.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    const auto inRange = [](int side) { return side >= kMinFrameSide && side <= kMaxFrameSide; };
    if (!inRange(width) || !inRange(height)) {
        return std::nullopt;
    }
    return std::pair{width, height};
}

std::optional<FitMode> ParseFit(const QString& text) {
    if (text == QLatin1String("stretch")) {
        return FitMode::kStretch;
    }
    if (text == QLatin1String("contain")) {
        return FitMode::kContain;
    }
    if (text == QLatin1String("cover")) {
        return FitMode::kCover;
    }
    return std::nullopt;
}

CliOptions UsageError(const QString& error) {
    CliOptions options;
    options.action = CliOptions::Action::Fail;
    options.error = error;
    return options;
}

// Splits "--name=value" into name and value; other arguments come back whole.
struct SplitOption {
    QString name;
    std::optional<QString> inlineValue;
};

SplitOption Split(const QString& argument) {
    if (argument.startsWith(QLatin1String("--"))) {
        const qsizetype eq = argument.indexOf(QLatin1Char('='));
        if (eq > 0) {
            return {argument.left(eq), argument.mid(eq + 1)};
        }
    } else if (argument.startsWith(QLatin1String("-o")) && argument.size() > 2) {
        return {QStringLiteral("-o"), argument.mid(2)};  // -oOUT.gif
    }
    return {argument, std::nullopt};
}

}  // namespace

CliOptions ParseCliArguments(const QStringList& arguments) {
    QString speedWord = QStringLiteral("medium");
    std::optional<uint16_t> explicitDelay;
    std::optional<QString> output;
    QStringList pictures;
    bool optionsEnded = false;
    FrameOptions frame;
    bool dither = false;
    bool highQuality = false;
    int fade = 0;
    uint64_t maxBytes = 0;

    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) ||
            argument == QLatin1String("-")) {
            pictures.append(argument);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const SplitOption option = Split(argument);
        if (option.name == QLatin1String("--help") || option.name == QLatin1String("-h")) {
            CliOptions help;
            help.action = CliOptions::Action::ShowHelp;
            return help;
        }
        if (option.name == QLatin1String("--version")) {
            CliOptions version;
            version.action = CliOptions::Action::ShowVersion;
            return version;
        }

        if (option.name == QLatin1String("--dither") && !option.inlineValue) {
            dither = true;
            continue;
        }

        const bool takesValue =
            option.name == QLatin1String("-o") || option.name == QLatin1String("--output") ||
            option.name == QLatin1String("--speed") || option.name == QLatin1String("--delay") ||
            option.name == QLatin1String("--size") || option.name == QLatin1String("--fit") ||
            option.name == QLatin1String("--background") ||
            option.name == QLatin1String("--quality") || option.name == QLatin1String("--fade") ||
            option.name == QLatin1String("--max-size");
        if (!takesValue) {
            return UsageError(Tr("unknown option '%1'").arg(option.name));
        }

        QString value;
        if (option.inlineValue) {
            value = *option.inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return UsageError(Tr("option '%1' needs a value").arg(option.name));
        }

        if (option.name == QLatin1String("--speed")) {
            if (!SpeedFromName(value)) {
                return UsageError(Tr("--speed must be slow, medium or fast, not '%1'").arg(value));
            }
            speedWord = value;
        } else if (option.name == QLatin1String("--delay")) {
            explicitDelay = ParseDelay(value);
            if (!explicitDelay) {
                return UsageError(Tr("--delay must be a whole number from %1 to %2, not '%3'")
                                      .arg(kMinCliDelay)
                                      .arg(kMaxCliDelay)
                                      .arg(value));
            }
        } else if (option.name == QLatin1String("--fade")) {
            const std::optional<int> centiseconds = ParseFade(value);
            if (!centiseconds) {
                return UsageError(Tr("--fade must be a whole number from 0 to %1, not '%2'")
                                      .arg(kMaxFadeCentiseconds)
                                      .arg(value));
            }
            fade = *centiseconds;
        } else if (option.name == QLatin1String("--size")) {
            const auto size = ParseSize(value);
            if (!size) {
                return UsageError(
                    Tr("--size must be WIDTHxHEIGHT, each from 1 to 4096, not '%1'").arg(value));
            }
            frame.width = size->first;
            frame.height = size->second;
        } else if (option.name == QLatin1String("--fit")) {
            const auto fit = ParseFit(value);
            if (!fit) {
                return UsageError(
                    Tr("--fit must be stretch, contain or cover, not '%1'").arg(value));
            }
            frame.fit = *fit;
        } else if (option.name == QLatin1String("--background")) {
            // Qt also reads #rgb, #aarrggbb and "transparent"; a frame's background is
            // #rrggbb or a name, and opaque.
            const QColor colour = QColor::fromString(value);
            if (!colour.isValid() || (value.startsWith(u'#') && value.size() != 7)) {
                return UsageError(Tr("--background must be a colour such as #20242a or navy, "
                                     "not '%1'")
                                      .arg(value));
            }
            if (colour.alpha() != 255) {
                return UsageError(Tr("--background must be opaque, not '%1'").arg(value));
            }
            frame.background = colour.rgb();
        } else if (option.name == QLatin1String("--quality")) {
            if (value != QLatin1String("high")) {
                return UsageError(Tr("--quality must be high, not '%1'").arg(value));
            }
            highQuality = true;
        } else if (option.name == QLatin1String("--max-size")) {
            const std::optional<uint64_t> bytes = ParseByteSize(value);
            if (!bytes) {
                return UsageError(Tr("--max-size must be a size above zero such as 300k, 1.5MB or "
                                     "2MiB, not '%1'")
                                      .arg(value));
            }
            maxBytes = *bytes;
        } else {
            if (value.isEmpty()) {
                return UsageError(Tr("the output path is empty"));
            }
            output = value;
        }
    }

    if (pictures.isEmpty()) {
        return UsageError(Tr("no pictures given"));
    }
    if (!output) {
        return UsageError(Tr("no output file given (-o OUT.gif)"));
    }
    // With one picture there is nothing to fade into; saying so beats a silent still.
    if (fade > 0 && pictures.size() < 2) {
        return UsageError(Tr("--fade needs at least two pictures"));
    }

    CliOptions options;
    options.action = CliOptions::Action::MakeGif;
    options.outputPath = *output;
    options.picturePaths = pictures;
    options.delay = explicitDelay ? *explicitDelay : GifDelayFor(*SpeedFromName(speedWord));
    // The high quality diffuses the error too, tuned for its own palette.
    frame.quality = highQuality ? FrameQuality::kHigh
                    : dither    ? FrameQuality::kDither
                                : FrameQuality::kPlain;
    options.frame = frame;
    options.fadeCentiseconds = fade;
    options.maxBytes = maxBytes;
    return options;
}

QString CliUsage() {
    return Tr(
        "Usage: tavrel-gif [--speed slow|medium|fast] [--delay CENTISECONDS] [--size WxH]\n"
        "                  [--fit stretch|contain|cover] [--background COLOR] [--dither]\n"
        "                  [--quality high] [--fade CENTISECONDS] [--max-size SIZE]\n"
        "                  -o OUT.gif PICTURE...\n"
        "Makes a looping animated GIF with one frame per picture (JPEG, PNG or BMP), in the\n"
        "order given, each stretched to 530 x 530 and reduced to at most 256 colours.\n"
        "\n"
        "Options:\n"
        "  -o, --output OUT.gif   the GIF to write; an earlier file there is replaced only\n"
        "                         when the new one is complete; - for standard output\n"
        "  --speed SPEED          slow (1.2 s per frame), medium (0.8 s, the default) or\n"
        "                         fast (0.4 s)\n"
        "  --delay CENTISECONDS   time per frame in hundredths of a second, 2 to 65535;\n"
        "                         overrides --speed\n"
        "  --size WxH             frame size, each side 1 to 4096 (default 530x530);\n"
        "                         e.g. --size 640x360\n"
        "  --fit MODE             stretch: fill the frame, proportions not kept (default);\n"
        "                         contain: the whole picture, proportions kept, centred on\n"
        "                         the background; cover: proportions kept, the frame filled,\n"
        "                         the centre cropped; e.g. --fit contain\n"
        "  --background COLOR     around a contained picture: #rrggbb or a name (default\n"
        "                         black); e.g. --background '#20242a' or --background navy\n"
        "  --dither               Floyd-Steinberg error diffusion against each frame's\n"
        "                         palette: smooth gradients instead of bands, larger files\n"
        "  --quality high         the best frames for their size: a refined palette and a\n"
        "                         diffusion that keeps flat areas clean; slower; e.g.\n"
        "                         tavrel-gif --quality high --fit contain -o out.gif *.jpg\n"
        "  --fade CENTISECONDS    after its time each picture fades into the next (the last\n"
        "                         into the first) in 0 to 1000 hundredths of a second,\n"
        "                         one blended frame per 5; 0, the default, is no fade;\n"
        "                         needs at least two pictures; e.g. --fade 50\n"
        "  --max-size SIZE        the GIF is never larger than SIZE and is the best-looking\n"
        "                         GIF that fits (fewer colours, less dithering, lossy LZW\n"
        "                         as needed; the --quality high frames when they fit);\n"
        "                         bytes or k, kB, M, MB (1,000s), KiB, MiB (1,024s);\n"
        "                         e.g. --max-size 300k or --max-size 1.5MB\n"
        "  -h, --help             show this help and exit\n"
        "  --version              show the version and exit\n"
        "\n"
        "Pictures may have up to 100 megapixels.\n"
        "\n"
        "Exit status: 0 when the GIF is complete, 1 when a picture cannot be read, the\n"
        "output cannot be written or the GIF cannot fit in --max-size, 2 when the command\n"
        "line is wrong, 128 + the signal's number when stopped by a signal (130 for Ctrl+C).\n");
}

QString CliVersion() {
    return QStringLiteral("tavrel-gif " TAVREL_VERSION);
}

}  // namespace tavrel
