// How failure is reported, everywhere below the window:
// - A step that can fail returns Result<T> (Result<Done> when it gives nothing back): the
//   value, or a Failure whose reason is one sentence for the user, already translated with
//   Tr. The caller adds what the user needs around it (the file's name, the window's message)
//   and passes the reason on unchanged.
// - A whole GIF run returns its GifRunOutcome (frames/gif_run.h), which says which picture
//   or the output is at fault.
// - Exceptions only for exhausted memory (std::bad_alloc) and failed writes to the output
//   (FileWriteError, whose what() is the reason); the run turns both into its outcome.
// - The plain C++ layers (bitmap/, imaging/, gif/) have no translated texts: their loaders
//   and converters give an empty value (a null DibSection, false) and the Qt layer above
//   words the reason.
// - An errno value is worded for the user by ReasonForErrno (platform/output_target.h) only.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <optional>
#include <utility>

namespace tavrel {

// A failure reason, written in English in the source and translated for the user.
inline QString Tr(const char* english) {
    return QCoreApplication::translate("tavrel", english);
}

struct Failure {
    QString reason;
};

template <typename T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT(google-explicit-constructor)
    Result(Failure failure)
        : reason_(std::move(failure.reason)) {}  // NOLINT(google-explicit-constructor)

    bool Ok() const { return value_.has_value(); }
    explicit operator bool() const { return Ok(); }
    T& Value() { return *value_; }
    const T& Value() const { return *value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    // Empty when Ok().
    const QString& Reason() const { return reason_; }

private:
    std::optional<T> value_;
    QString reason_;
};

// For steps that give nothing back but success.
struct Done {};

}  // namespace tavrel
