// Skin files are UTF-8 text. A line "[Name]" starts the skin of that name; the lines up to the
// next header are its Qt style sheet. Lines whose first character is "#" are comments (so an
// object-name selector such as "QPushButton#ok" must not start a line). Anything wrong with the
// file means no skin at all: the dialogs then keep the standard look, and nothing is reported.
#include "platform/window/skin.h"

#include <QApplication>
#include <QFile>
#include <QMap>
#include <QStringDecoder>
#include <QStringList>

#include "platform/trace.h"

namespace tavrel {

namespace {

struct SkinState {
    QMap<QString, QString> skins;  // name -> style sheet
    bool sheetApplied = false;
};

SkinState& State() {
    static SkinState state;
    return state;
}

// Braces balance outside comments and quoted strings, and never close more than they open.
bool BracesBalance(const QString& sheet) {
    int depth = 0;
    QChar quote;
    for (qsizetype i = 0; i < sheet.size(); ++i) {
        const QChar c = sheet[i];
        if (!quote.isNull()) {
            if (c == u'\\') {
                ++i;
            } else if (c == quote) {
                quote = QChar();
            }
            continue;
        }
        if (c == u'/' && i + 1 < sheet.size() && sheet[i + 1] == u'*') {
            const qsizetype end = sheet.indexOf(QStringLiteral("*/"), i + 2);
            if (end < 0) {
                return false;  // unterminated comment
            }
            i = end + 1;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'{') {
            ++depth;
        } else if (c == u'}' && --depth < 0) {
            return false;
        }
    }
    return depth == 0 && quote.isNull();
}

// Parses the whole file; an empty map when it is malformed.
QMap<QString, QString> ParseSkinFile(const QString& text) {
    QMap<QString, QString> skins;
    QString current;
    QStringList sheet;
    const auto finish = [&]() -> bool {
        if (current.isEmpty()) {
            return true;
        }
        const QString joined = sheet.join(u'\n');
        if (!BracesBalance(joined) || skins.contains(current)) {
            return false;
        }
        skins.insert(current, joined);
        return true;
    };
    for (const QString& rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'#')) {
            continue;
        }
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            if (!finish()) {
                return {};
            }
            current = line.mid(1, line.size() - 2).trimmed();
            if (current.isEmpty()) {
                return {};  // a header without a name
            }
            sheet.clear();
            continue;
        }
        if (current.isEmpty()) {
            if (!line.isEmpty()) {
                return {};  // style text outside any skin
            }
            continue;
        }
        sheet << rawLine;
    }
    if (!finish()) {
        return {};
    }
    return skins;
}

QApplication* WidgetApplication() {
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

}  // namespace

void SkinStart(void* /*moduleInstance*/, const QString& applicationName, int, int) {
    PlatformTrace(QStringLiteral("SkinStart ") + applicationName);
}

int SkinLoadFile(const QString& path) {
    SkinState& state = State();
    state.skins.clear();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString text = decoder.decode(bytes);
        // Binary files are not skins even when their bytes happen to be valid UTF-8.
        if (file.error() == QFileDevice::NoError && !decoder.hasError() &&
            !text.contains(QChar(0))) {
            state.skins = ParseSkinFile(text);
        }
    }
    const int result = state.skins.isEmpty() ? 0 : 1;
    PlatformTrace(QStringLiteral("SkinLoadFile %1 -> %2").arg(path).arg(result));
    return result;
}

void SkinSetDialogSkin(const QString& name) {
    PlatformTrace(QStringLiteral("SkinSetDialogSkin ") + name);
    SkinState& state = State();
    QApplication* app = WidgetApplication();
    const auto found = state.skins.constFind(name);
    if (!app || found == state.skins.constEnd()) {
        return;
    }
    app->setStyleSheet(*found);
    state.sheetApplied = true;
}

void SkinEnd() {
    PlatformTrace(QStringLiteral("SkinEnd"));
    SkinState& state = State();
    if (state.sheetApplied) {
        if (QApplication* app = WidgetApplication()) {
            app->setStyleSheet(QString());
        }
        state.sheetApplied = false;
    }
    state.skins.clear();
}

}  // namespace tavrel
