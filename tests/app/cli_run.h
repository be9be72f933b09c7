// Runs the built tavrel-gif for the tests.
#pragma once

#include <QString>
#include <QStringList>

namespace tavrel::cli_test {

struct ToolRun {
    int exitCode = -1;  // -1: it crashed or hung
    QString out;
    QString err;
};

// Runs tavrel-gif with the arguments and extra "NAME=value" environment entries. A shell
// prefix (such as "ulimit -f 4;") runs first in /bin/sh, which then execs the tool.
ToolRun RunTool(const QStringList& arguments, const QStringList& extraEnv = {},
                const QString& shellPrefix = {});

}  // namespace tavrel::cli_test
