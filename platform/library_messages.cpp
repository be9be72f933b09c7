#include "platform/library_messages.h"

#include <QByteArray>
#include <QtGlobal>
#include <atomic>
#include <cstdio>

#include "platform/file_names.h"

namespace tavrel {

void CollectLibraryMessage(const QString& message);

namespace {

thread_local LibraryMessages* t_collector = nullptr;
// Text written to stderr on this thread while a collector is open, up to its newline.
thread_local QByteArray t_pendingLine;
QtMessageHandler g_previous = nullptr;
std::atomic<bool> g_passOthersOn{false};
std::FILE* g_originalStderr = nullptr;

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

// libpng reports a fatal error by printing to stderr itself (Qt gives it no error function).
// Inside a collector such text is collected line by line; any other passes through.
ssize_t WriteStderr(void* /*cookie*/, const char* bytes, std::size_t size) {
    if (!t_collector) {
        return static_cast<ssize_t>(std::fwrite(bytes, 1, size, g_originalStderr));
    }
    t_pendingLine.append(bytes, static_cast<qsizetype>(size));
    for (qsizetype end; (end = t_pendingLine.indexOf('\n')) >= 0;) {
        CollectLibraryMessage(QString::fromLocal8Bit(t_pendingLine.left(end)));
        t_pendingLine.remove(0, end + 1);
    }
    return static_cast<ssize_t>(size);
}

void RouteStderrThroughCollectors() {
#ifdef __GLIBC__
    if (g_originalStderr) {
        return;
    }
    const cookie_io_functions_t functions{nullptr, WriteStderr, nullptr, nullptr};
    std::FILE* routed = fopencookie(nullptr, "w", functions);
    if (routed) {
        std::setvbuf(routed, nullptr, _IONBF, 0);
        g_originalStderr = stderr;
        stderr = routed;
    }
#endif
}

}  // namespace

void CollectLibraryMessage(const QString& message) {
    const QString line = OneLine(message.trimmed());
    if (!line.isEmpty() && t_collector->messages_.size() < kMaxKept) {
        t_collector->messages_.append(line);
    }
}

void CaptureLibraryMessages(bool passOthersOn) {
    g_passOthersOn = passOthersOn;
    QtMessageHandler previous = qInstallMessageHandler(Handle);
    if (previous != Handle) {
        g_previous = previous;
    }
    RouteStderrThroughCollectors();
}

LibraryMessages::LibraryMessages() : outer_(t_collector) {
    t_collector = this;
}

LibraryMessages::~LibraryMessages() {
    if (!t_pendingLine.isEmpty()) {
        CollectLibraryMessage(QString::fromLocal8Bit(t_pendingLine));
        t_pendingLine.clear();
    }
    t_collector = outer_;
}

QString LibraryMessages::Explain(const QString& reason) const {
    if (messages_.isEmpty()) {
        return reason;
    }
    return QStringLiteral("%1 (%2)").arg(reason, messages_.constFirst());
}

bool LibraryMessages::RanOutOfMemory() const {
    for (const QString& message : messages_) {
        if (message.contains(QLatin1String("out of memory"), Qt::CaseInsensitive) ||
            message.contains(QLatin1String("insufficient memory"), Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

}  // namespace tavrel
