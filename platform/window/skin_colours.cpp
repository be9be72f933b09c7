#include "platform/window/skin_colours.h"

#include <QApplication>
#include <QRegularExpression>

namespace tavrel {

QColor SkinDialogBackground() {
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr) {
        return {};
    }
    // Comments first, so that a commented-out rule is not read.
    static const QRegularExpression kComment(QStringLiteral("/\\*.*?\\*/"),
                                             QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression kDialogRule(
        QStringLiteral("(?:^|[\\s,}])QDialog\\s*\\{([^}]*)\\}"));
    static const QRegularExpression kBackground(
        QStringLiteral("(?:^|[;\\s])background(?:-color)?\\s*:\\s*([^;]+)"));
    const QString sheet = app->styleSheet().remove(kComment);
    const QRegularExpressionMatch rule = kDialogRule.match(sheet);
    if (!rule.hasMatch()) {
        return {};
    }
    const QRegularExpressionMatch background = kBackground.match(rule.captured(1));
    return background.hasMatch() ? QColor::fromString(background.captured(1).trimmed()) : QColor();
}

}  // namespace tavrel
