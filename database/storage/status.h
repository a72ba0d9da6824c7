#pragma once

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace storage {

// What kind of failure an Error is, for callers that branch on it rather than on the text.
enum class ErrorKind {
    Failed,          // any engine error not covered below
    NotFound,        // file, folder or table missing
    PermissionDenied,
    BadPassword,
    NotSupported,    // a valid file or object this engine cannot handle (yet)
    Corruption,      // the file contradicts its own structure
    IOError,
};

// An engine failure: the database engine's own error number (3024, 3343, ...)
// and its description text, exactly as the user is to see it. jetNumber is 0
// for failures that Jet itself never reports (e.g. an unsupported ACCDB encryption).
struct Error {
    int jetNumber = 0;
    std::string description;
    ErrorKind kind = ErrorKind::Failed;
};

// Ok, or an Error. Cheap when ok; must be looked at.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)), m_failed(true) {}

    static Status ok() { return {}; }

    bool isOk() const { return !m_failed; }
    explicit operator bool() const { return isOk(); }
    const Error& error() const {
        assert(m_failed);
        return m_error;
    }
    // For the rare place where a failure is deliberately dropped.
    void ignoreError() const {}

private:
    Error m_error;
    bool m_failed = false;
};

// A value or an Error, shaped like std::expected so that it can be swapped in later.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}
    Result(Status status) : m_state(status.error()) {}

    bool hasValue() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return hasValue(); }

    T& value() & {
        assert(hasValue());
        return std::get<T>(m_state);
    }
    const T& value() const& {
        assert(hasValue());
        return std::get<T>(m_state);
    }
    T&& value() && {
        assert(hasValue());
        return std::get<T>(std::move(m_state));
    }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }

    const Error& error() const {
        assert(!hasValue());
        return std::get<Error>(m_state);
    }
    Status status() const { return hasValue() ? Status() : Status(error()); }

private:
    std::variant<T, Error> m_state;
};

} // namespace storage
