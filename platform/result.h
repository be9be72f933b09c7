// The one way a headless step reports failure: a value, or the reason it could not be made.
// The reason is a sentence for the user, already translated. Exhausted memory and failed
// writes to the output stay exceptions (std::bad_alloc, FileWriteError).
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
