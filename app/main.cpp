// Tavrel: makes looping animated GIFs from up to five pictures.
#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/tavrel_app.h"
#include "app/working_folder.h"
#include "platform/file_names.h"
#include "platform/installed_data.h"
#include "platform/library_messages.h"
#include "platform/translations.h"

namespace {

const char* const kUsage =
    "Usage: tavrel [PICTURE...] | --workdir | --help | --version\n"
    "Opens the Tavrel window, which makes a looping animated GIF from up to five pictures;\n"
    "pictures named here fill slots 1 to 5 in order.\n"
    "\n"
    "  --workdir   prepare the working folder, print where it is and exit\n"
    "  --help      show this help and exit\n"
    "  --version   show the version and exit\n"
    "\n"
    "Installed, the window keeps its background, skin and working folders in\n"
    "$XDG_DATA_HOME/tavrel (~/.local/share/tavrel); run from a build tree, it works in the\n"
    "folder it is started in.\n";

// The options a terminal user asks for, answered without a display: no QApplication exists
// yet. -1 when the arguments are for the window.
int AnswerTerminalOption(int argc, char* argv[]) {
    if (argc < 2) {
        return -1;
    }
    const char* option = argv[1];
    if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (std::strcmp(option, "--version") == 0) {
        std::puts("Tavrel " TAVREL_VERSION);
        return 0;
    }
    if (std::strcmp(option, "--workdir") == 0) {
        const QCoreApplication core(argc, argv);  // finds the installed data from the program
        if (tavrel::InstalledDataFolder().isEmpty()) {
            std::fputs("Tavrel: no working folder of its own: this copy is not installed\n",
                       stderr);
            return 1;
        }
        const QString folder = tavrel::EnterWorkingFolder();
        if (folder.isEmpty()) {
            return 1;  // the reason has been printed
        }
        std::puts(qPrintable(folder));
        return 0;
    }
    return -1;
}

// Qt ends the program with abort() when it finds no display to open the window on, after a
// few lines of its own; a user gets one line and status 1 instead.
void NoDisplayAtStartUp(QtMsgType type, const QMessageLogContext& /*context*/,
                        const QString& /*message*/) {
    if (type == QtFatalMsg) {
        std::fputs(
            "Tavrel: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
            "unset or unreachable); tavrel-gif makes GIFs without one\n",
            stderr);
        std::_Exit(1);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (const int status = AnswerTerminalOption(argc, argv); status >= 0) {
        return status;
    }
    const QtMessageHandler usual = qInstallMessageHandler(NoDisplayAtStartUp);
    QApplication application(argc, argv);
    qInstallMessageHandler(usual);
    // Qt has taken its own options (-platform, -style and the like); what is left are
    // pictures for the slots, and "--" before pictures whose names start with '-'.
    QStringList pictures = tavrel::ArgumentsFromArgv(argc, argv).mid(1);
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--")) {
            break;
        }
        if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            std::fprintf(stderr, "tavrel: unknown option '%s' (tavrel --help lists the options)\n",
                         qPrintable(argument));
            return 2;
        }
    }
    pictures.removeOne(QStringLiteral("--"));
    // The caption of message boxes, also when started through the `tavrel` link.
    QCoreApplication::setApplicationName(QStringLiteral("Tavrel"));
    // Chinese under a Chinese locale, English (the source texts) under any other.
    tavrel::SetWindowLanguage(tavrel::LocaleIsChinese());
    tavrel::EnterWorkingFolder();
    // What the image libraries say about a picture goes into the reason its slot shows.
    tavrel::CaptureLibraryMessages(true);

    CTavrelApp app;
    // Pictures named on the command line (the desktop's Open with) fill the first slots.
    app.m_startPictures = pictures;
    app.InitInstance();
    return app.ExitInstance();
}
