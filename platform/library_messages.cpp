#include "platform/library_messages.h"

#include <QtGlobal>
#include <atomic>

#include "platform/file_names.h"

namespace tavrel {

void CollectLibraryMessage(const QString& message);

namespace {

thread_local LibraryMessages* t_collector = nullptr;
QtMessageHandler g_previous = nullptr;
std::atomic<bool> g_passOthersOn{false};

constexpr qsizetype kMaxKept = 8;  // a broken file can raise thousands

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg && t_collector) {
        CollectLibraryMessage(message);
        return;
    }
    if ((type == QtFatalMsg || g_passOthersOn.load()) && g_previous) {
        g_previous(type, context, message);
    }
}

}  // namespace

void CollectLibraryMessage(const QString& message) {
    if (t_collector->messages_.size() < kMaxKept) {
        t_collector->messages_.append(OneLine(message.trimmed()));
    }
}

void CaptureLibraryMessages(bool passOthersOn) {
    g_passOthersOn = passOthersOn;
    QtMessageHandler previous = qInstallMessageHandler(Handle);
    if (previous != Handle) {
        g_previous = previous;
    }
}

LibraryMessages::LibraryMessages() : outer_(t_collector) {
    t_collector = this;
}

LibraryMessages::~LibraryMessages() {
    t_collector = outer_;
}

QString LibraryMessages::Explain(const QString& reason) const {
    if (messages_.isEmpty()) {
        return reason;
    }
    return QStringLiteral("%1 (%2)").arg(reason, messages_.constFirst());
}

}  // namespace tavrel
