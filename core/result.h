// Error values for the portable core: an error code with a readable message, a Status for
// operations without a value and Result<T> for value-or-error returns.
#pragma once

#include <cassert>
#include <optional>
#include <string>
#include <utility>

namespace tess {

enum class ErrorCode {
    Overflow,          // a number does not fit the integer type it is stored in
    DivisionByZero,    // an integer division whose divisor rounds to 0
    InvalidArgument,   // a value the operation refuses (a back colour of -1, a negative size)
    FileNotFound,      // the path names nothing
    CannotOpen,        // the file exists but cannot be opened or read
    NotAPicture,       // the bytes are not a GIF, JPEG, PNG or Windows bitmap
    CorruptPicture,    // a picture of a known format that cannot be decoded
    PictureTooLarge,   // the header announces more pixels than the loader accepts
    OutOfMemory,       // an allocation failed
    WriteFailed,       // a file could not be written or moved into place
    AlreadyExists,     // the folder to be created is there already
    DeleteFailed,      // a file or folder is there but could not be deleted (in use, not empty)
    FileTooLarge,      // a file is longer than the caller reads
    NotSupported,      // the system has no such thing (drive letters on the host)
    TimedOut,          // what was waited for did not happen within the time allowed
};

struct Error {
    ErrorCode code;
    std::string message;
};

// Result of an operation that yields nothing but may fail.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : error_(std::move(error)) {}

    static Status Ok() { return Status(); }

    bool ok() const { return !error_.has_value(); }
    explicit operator bool() const { return ok(); }
    const Error& error() const {
        assert(error_.has_value());
        return *error_;
    }

private:
    std::optional<Error> error_;
};

// A value or the error that prevented it.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Error error) : error_(std::move(error)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    const T& value() const& {
        assert(ok());
        return *value_;
    }
    T& value() & {
        assert(ok());
        return *value_;
    }
    T&& value() && {
        assert(ok());
        return std::move(*value_);
    }
    const Error& error() const {
        assert(!ok());
        return *error_;
    }
    Status status() const { return ok() ? Status() : Status(*error_); }

private:
    std::optional<T> value_;
    std::optional<Error> error_;
};

} // namespace tess
