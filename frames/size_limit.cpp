#include "frames/size_limit.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <limits>

namespace tavrel {
namespace {

struct Unit {
    const char* name;
    uint64_t bytes;
};
constexpr Unit kUnits[] = {
    {"", 1},
    {"B", 1},
    {"k", 1000},
    {"kB", 1000},
    {"K", 1000},
    {"KB", 1000},
    {"M", 1000 * 1000},
    {"MB", 1000 * 1000},
    {"G", 1000 * 1000 * 1000},
    {"GB", 1000 * 1000 * 1000},
    {"KiB", 1024},
    {"MiB", 1024 * 1024},
    {"GiB", 1024 * 1024 * 1024},
};

constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();

// value * factor + add, or nullopt past 2^64 - 1.
std::optional<uint64_t> MultiplyAdd(uint64_t value, uint64_t factor, uint64_t add) {
    if (factor != 0 && value > (kMax - add) / factor) {
        return std::nullopt;
    }
    return value * factor + add;
}

}  // namespace

std::optional<uint64_t> ParseByteSize(const QString& text) {
    static const QRegularExpression kSize(
        QStringLiteral("^([0-9]{1,20})(?:\\.([0-9]{1,9}))?\\s?([A-Za-z]{0,3})$"));
    const QRegularExpressionMatch match = kSize.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QString unitName = match.captured(3);
    const Unit* unit = nullptr;
    for (const Unit& candidate : kUnits) {
        if (unitName == QLatin1String(candidate.name)) {
            unit = &candidate;
        }
    }
    if (unit == nullptr) {
        return std::nullopt;
    }
    bool whole = false;
    const uint64_t integer = match.captured(1).toULongLong(&whole);
    if (!whole) {
        return std::nullopt;  // past 2^64 - 1
    }
    // The fraction in exact integers: 0.fraction x unit, rounded down to a whole byte.
    const QString fractionDigits = match.captured(2);
    uint64_t fraction = 0;
    if (!fractionDigits.isEmpty()) {
        uint64_t scale = 1;
        for (qsizetype i = 0; i < fractionDigits.size(); ++i) {
            scale *= 10;
        }
        const uint64_t digits = fractionDigits.toULongLong();
        // Both below 10^9 and 2^30: the product stays far below 2^64.
        fraction = digits * unit->bytes / scale;
    }
    const std::optional<uint64_t> bytes = MultiplyAdd(integer, unit->bytes, fraction);
    if (!bytes || *bytes == 0) {
        return std::nullopt;
    }
    return bytes;
}

QString FormatByteSize(uint64_t bytes, bool roundUp) {
    const auto tr = [](const char* text) { return QCoreApplication::translate("tavrel", text); };
    if (bytes == 1) {
        return tr("1 byte");
    }
    if (bytes < 1000) {
        return tr("%1 bytes").arg(bytes);
    }
    const bool mega = bytes >= 1000 * 1000;
    const uint64_t unit = mega ? 1000 * 1000 : 1000;
    const int decimals = mega ? 2 : 1;
    const uint64_t step = unit / (mega ? 100 : 10);
    const uint64_t steps = (bytes + (roundUp ? step - 1 : 0)) / step;
    QString number = QString::number(
        static_cast<double>(steps) * static_cast<double>(step) / static_cast<double>(unit), 'f',
        decimals);
    while (number.endsWith(QLatin1Char('0'))) {
        number.chop(1);
    }
    if (number.endsWith(QLatin1Char('.'))) {
        number.chop(1);
    }
    return (mega ? tr("%1 MB") : tr("%1 kB")).arg(number);
}

QString CannotFitReason(int frames, int width, int height, uint64_t maxBytes,
                        uint64_t smallestBytes) {
    const QString size = QString::number(width) + QStringLiteral(" x ") + QString::number(height);
    const QString limit = FormatByteSize(maxBytes);
    const QString smallest = FormatByteSize(smallestBytes, true);
    if (frames == 1) {
        return QCoreApplication::translate("tavrel",
                                           "cannot fit 1 frame of %1 into %2 (smallest %3): "
                                           "choose a smaller frame size or a larger size limit")
            .arg(size, limit, smallest);
    }
    return QCoreApplication::translate("tavrel",
                                       "cannot fit %1 frames of %2 into %3 (smallest %4): choose "
                                       "a smaller frame size, fewer pictures or a larger size "
                                       "limit")
        .arg(QString::number(frames), size, limit, smallest);
}

}  // namespace tavrel
