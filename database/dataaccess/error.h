#pragma once

#include <string>
#include <utility>

namespace dataaccess {

// A failure as the data-access component raises it: the error number that
// callers show ("Error Number = ...") and the description text.
struct Error {
    int number = 0;
    std::string description;
};

// Ok, or an Error. Every operation of the component returns one.
class [[nodiscard]] Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)), m_failed(true) {}

    bool isOk() const { return !m_failed; }
    explicit operator bool() const { return isOk(); }
    const Error& error() const { return m_error; }
    int number() const { return m_error.number; }
    const std::string& description() const { return m_error.description; }
    // For the rare caller that has nobody to tell, such as a destructor.
    void ignoreError() const {}

private:
    Error m_error;
    bool m_failed = false;
};

// Numbers raised by the component itself (not by a provider).
namespace adoerror {
inline constexpr int kProviderNotFound = 3706; // reported as HRESULT 0x800A0E7A by the platform
inline constexpr int kObjectClosed = 3704;     // "Operation is not allowed when the object is closed."
inline constexpr int kObjectOpen = 3705;       // "Operation is not allowed when the object is open."
inline constexpr int kItemNotFound = 3265;     // no such field
inline constexpr int kEofOrBof = 3021;         // current record is past the end
inline constexpr int kNotCapable = 3251;       // schema or option not supported
} // namespace adoerror

Error providerNotFoundError();
Error objectClosedError();
Error objectOpenError();
Error itemNotFoundError();
Error eofError();
Error notCapableError();

} // namespace dataaccess
