#include "cli_run.h"

#include <QProcess>

namespace tavrel::cli_test {

ToolRun RunTool(const QStringList& arguments, const QStringList& extraEnv,
                const QString& shellPrefix) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : extraEnv) {
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    }
    process.setProcessEnvironment(env);
    if (shellPrefix.isEmpty()) {
        process.start(QStringLiteral(TAVREL_GIF_EXE), arguments);
    } else {
        process.start(
            QStringLiteral("/bin/sh"),
            QStringList{QStringLiteral("-c"), shellPrefix + QStringLiteral(" exec \"$@\""),
                        QStringLiteral("sh"), QStringLiteral(TAVREL_GIF_EXE)} +
                arguments);
    }
    ToolRun run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit) {
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace tavrel::cli_test
