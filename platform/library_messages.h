// Warnings that Qt and the image libraries under it (libpng, libjpeg) print on their own.
// They are collected while a picture is read, so that a failure can say what the library
// saw; the rest are not printed: a command-line run shows one line per error and nothing on
// success.
#pragma once

#include <QString>
#include <QStringList>

namespace tavrel {

// Installs the message handler for the whole process, and routes the C stream stderr through
// it too (libpng prints its errors there). Messages raised while a LibraryMessages object is
// alive on the same thread go into it; other Qt messages are dropped unless passOthersOn is
// true, when they reach the handler that was installed before (the dialog keeps Qt's usual
// output for its own diagnostics); other stderr text passes through. Fatal messages always
// reach the handler before.
void CaptureLibraryMessages(bool passOthersOn);

// Collects this thread's library messages for its lifetime (objects nest; the innermost
// collects).
class LibraryMessages {
public:
    LibraryMessages();
    ~LibraryMessages();
    LibraryMessages(const LibraryMessages&) = delete;
    LibraryMessages& operator=(const LibraryMessages&) = delete;

    const QStringList& Messages() const { return messages_; }
    // The reason with the first message appended in parentheses, when there is one.
    QString Explain(const QString& reason) const;
    // A library said it ran out of memory (Qt, libpng and libjpeg each in its own words).
    bool RanOutOfMemory() const;

private:
    friend void CollectLibraryMessage(const QString& message);
    QStringList messages_;
    LibraryMessages* outer_ = nullptr;
};

}  // namespace tavrel
