#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <variant>

// Why a transaction with the board did not give its value.
struct LinkFailure {
    enum class Kind {
        NoAnswer,  // the board stayed silent (and the policy gave up), or the link had failed
        WrongEcho, // an answer that was not the one the protocol wants
        PortLost,  // the port is closed or carries nothing more
        Refused,   // not sent: a value the register cannot hold
    };
    Kind kind = Kind::NoAnswer;
    // WrongEcho: the byte that came instead (after a resent attention byte,
    // the board's answer to that).
    int byte = -1;
    // PortLost: why, in words; Refused: the refusal as the user reads it.
    QString reason;
};

// A value from the board or the failure that took its place. A caller must
// look at it: it converts to bool, and the value of a failure is no value.
template <typename T> class [[nodiscard]] LinkResult {
public:
    LinkResult(T value) : m_state(std::move(value)) {}
    LinkResult(LinkFailure failure) : m_state(std::move(failure)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<0>(m_state); }
    T valueOr(T fallback) const { return ok() ? value() : fallback; }
    const LinkFailure& failure() const { return std::get<1>(m_state); }
    bool failedWith(LinkFailure::Kind kind) const { return !ok() && failure().kind == kind; }

private:
    std::variant<T, LinkFailure> m_state;
};

template <> class [[nodiscard]] LinkResult<void> {
public:
    LinkResult() = default;
    LinkResult(LinkFailure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return !m_failure; }
    explicit operator bool() const { return ok(); }
    const LinkFailure& failure() const { return *m_failure; }
    bool failedWith(LinkFailure::Kind kind) const { return !ok() && m_failure->kind == kind; }

private:
    std::optional<LinkFailure> m_failure;
};
