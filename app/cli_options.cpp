// A small parser of our own: it keeps every message to one line and never exits the process,
// so the caller decides what goes to stdout, stderr and the exit code.
#include "app/cli_options.h"

#include <optional>

#include "frames/speed.h"

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

CliOptions Failure(const QString& error) {
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

        const bool takesValue =
            option.name == QLatin1String("-o") || option.name == QLatin1String("--output") ||
            option.name == QLatin1String("--speed") || option.name == QLatin1String("--delay");
        if (!takesValue) {
            return Failure(QStringLiteral("unknown option '%1'").arg(option.name));
        }

        QString value;
        if (option.inlineValue) {
            value = *option.inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return Failure(QStringLiteral("option '%1' needs a value").arg(option.name));
        }

        if (option.name == QLatin1String("--speed")) {
            if (!SpeedFromName(value)) {
                return Failure(
                    QStringLiteral("--speed must be slow, medium or fast, not '%1'").arg(value));
            }
            speedWord = value;
        } else if (option.name == QLatin1String("--delay")) {
            explicitDelay = ParseDelay(value);
            if (!explicitDelay) {
                return Failure(
                    QStringLiteral("--delay must be a whole number from %1 to %2, not '%3'")
                        .arg(kMinCliDelay)
                        .arg(kMaxCliDelay)
                        .arg(value));
            }
        } else {
            if (value.isEmpty()) {
                return Failure(QStringLiteral("the output path is empty"));
            }
            output = value;
        }
    }

    if (pictures.isEmpty()) {
        return Failure(QStringLiteral("no pictures given"));
    }
    if (!output) {
        return Failure(QStringLiteral("no output file given (-o OUT.gif)"));
    }

    CliOptions options;
    options.action = CliOptions::Action::MakeGif;
    options.outputPath = *output;
    options.picturePaths = pictures;
    options.delay = explicitDelay ? *explicitDelay : GifDelayFor(*SpeedFromName(speedWord));
    return options;
}

QString CliUsage() {
    return QStringLiteral(
        "Usage: tavrel-gif [--speed slow|medium|fast] [--delay CENTISECONDS] -o OUT.gif "
        "PICTURE...\n"
        "Makes a looping animated GIF with one frame per picture (JPEG, PNG or BMP), in the\n"
        "order given, each stretched to 530 x 530 and reduced to at most 256 colours.\n"
        "\n"
        "Options:\n"
        "  -o, --output OUT.gif   the GIF to write; an earlier file there is replaced only\n"
        "                         when the new one is complete\n"
        "  --speed SPEED          slow (1.2 s per frame), medium (0.8 s, the default) or\n"
        "                         fast (0.4 s)\n"
        "  --delay CENTISECONDS   time per frame in hundredths of a second, 2 to 65535;\n"
        "                         overrides --speed\n"
        "  -h, --help             show this help and exit\n"
        "  --version              show the version and exit\n"
        "\n"
        "Exit status: 0 when the GIF is complete, 1 when a picture cannot be read or the\n"
        "output cannot be written, 2 when the command line is wrong, 130 when stopped.\n");
}

QString CliVersion() {
    return QStringLiteral("tavrel-gif 1.0.0");
}

}  // namespace tavrel
