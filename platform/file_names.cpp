#include "platform/file_names.h"

#include <cstdint>

namespace tavrel {
namespace {

constexpr char16_t kEscapedByteBase = 0xDC00;

bool IsEscapedByte(char16_t c) {
    return c >= kEscapedByteBase + 0x80 && c <= kEscapedByteBase + 0xFF;
}

// The length of the valid UTF-8 sequence at the start of bytes and its code point, or 0 when
// the sequence is invalid (overlong, a surrogate, above U+10FFFF, cut short).
int ValidSequence(const uint8_t* bytes, qsizetype available, char32_t* codePoint) {
    const uint8_t lead = bytes[0];
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
    } else {
        return 0;
    }
    value = lead & (0x7F >> length);  // the payload bits of the lead byte
    if (available < length) {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if ((bytes[i] & 0xC0) != 0x80) {
            return 0;
        }
        value = value << 6 | (bytes[i] & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    *codePoint = value;
    return length;
}

void AppendEscape(QString& out, unsigned byte) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += QLatin1String("\\x");
    out += QLatin1Char(kHex[byte >> 4]);
    out += QLatin1Char(kHex[byte & 15]);
}

// Escapes control characters and undecodable bytes; backslashes too when asked.
QString Escaped(const QString& text, bool doubleBackslashes) {
    QString out;
    out.reserve(text.size());
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (IsEscapedByte(c)) {
            AppendEscape(out, c - kEscapedByteBase);
        } else if (c == u'\n') {
            out += QLatin1String("\\n");
        } else if (c == u'\r') {
            out += QLatin1String("\\r");
        } else if (c == u'\t') {
            out += QLatin1String("\\t");
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscape(out, c);
        } else if (c >= 0x80 && c < 0xA0) {  // C1 controls, shown as their UTF-8 bytes
            AppendEscape(out, 0xC0 | (c >> 6));
            AppendEscape(out, 0x80 | (c & 0x3F));
        } else if (c == u'\\' && doubleBackslashes) {
            out += QLatin1String("\\\\");
        } else {
            out += qc;
        }
    }
    return out;
}

}  // namespace

QString FileNameFromBytes(QByteArrayView bytes) {
    QString name;
    name.reserve(bytes.size());
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t codePoint = 0;
        const int length = ValidSequence(data + at, bytes.size() - at, &codePoint);
        if (length == 0) {
            name += QChar(static_cast<char16_t>(kEscapedByteBase + data[at]));
            ++at;
            continue;
        }
        const char32_t single[] = {codePoint};
        name += QString::fromUcs4(single, 1);
        at += length;
    }
    return name;
}

QByteArray FileNameToBytes(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i < name.size() && !IsEscapedByte(name[i].unicode())) {
            continue;
        }
        bytes += QStringView(name).mid(runStart, i - runStart).toUtf8();
        if (i < name.size()) {
            bytes += static_cast<char>(name[i].unicode() - kEscapedByteBase);
        }
        runStart = i + 1;
    }
    return bytes;
}

QStringList ArgumentsFromArgv(int argc, const char* const* argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(FileNameFromBytes(QByteArrayView(argv[i])));
    }
    return arguments;
}

QString ShownFileName(const QString& name) {
    return Escaped(name, true);
}

QString OneLine(const QString& text) {
    return Escaped(text, false);
}

}  // namespace tavrel
