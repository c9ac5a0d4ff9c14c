#pragma once

#include <QString>

#include <utility>
#include <variant>

namespace lumivane {

// An error that arrives ready to show: one sentence naming the path (in native form) and the
// operating system's reason. The caller decides how to show it.
struct Error {
    QString message;
};

// Either a value or an Error. Small on purpose: the project needs "ok or a readable message",
// nothing more.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value)
        : m_state(std::move(value))
    {}  // NOLINT(google-explicit-constructor)
    Result(Error error)
        : m_state(std::move(error))
    {}  // NOLINT(google-explicit-constructor)

    [[nodiscard]] bool ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return ok(); }

    [[nodiscard]] const T &value() const & { return std::get<T>(m_state); }
    [[nodiscard]] T &value() & { return std::get<T>(m_state); }
    [[nodiscard]] T &&value() && { return std::get<T>(std::move(m_state)); }
    [[nodiscard]] const QString &error() const { return std::get<Error>(m_state).message; }

private:
    std::variant<T, Error> m_state;
};

// "Done or a message" for operations with no value of their own.
struct Ok {};
using Status = Result<Ok>;

}  // namespace lumivane
