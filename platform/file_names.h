// File names as the file system holds them. On Linux a name is a string of bytes that need
// not be valid UTF-8 (a Latin-1 "caf\xe9.png", raw bytes); Qt decodes such bytes into U+FFFD,
// after which the file can no longer be opened. These functions carry any name through a
// QString and back unchanged, and show it in a message on one line.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace tavrel {

// Valid UTF-8 is decoded as usual; each byte outside a valid sequence becomes the lone
// surrogate U+DC00 + byte (which valid UTF-8 can never produce), so nothing is lost.
QString FileNameFromBytes(QByteArrayView bytes);

// The bytes FileNameFromBytes took the name from; any other text as UTF-8.
QByteArray FileNameToBytes(const QString& name);

// The command line as the file system's names: argv[0] .. argv[argc - 1].
QStringList ArgumentsFromArgv(int argc, const char* const* argv);

// The name for a message: undecodable bytes as \xNN, control characters (a newline) as \n,
// \t, \r or \xNN, a backslash doubled, so the name takes one line and can be told apart.
QString ShownFileName(const QString& name);

// A whole message on one line: control characters and undecodable bytes escaped as above,
// everything else (backslashes of names shown already) left as it is.
QString OneLine(const QString& text);

}  // namespace tavrel
