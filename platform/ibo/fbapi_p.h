#pragma once

// Internal glue between the data-access layer and the Firebird client
// interface: the status wrapper that turns errors into EIB_ISCError, the
// move-only interface handle, and the quoting of identifiers.

#include "eib_error.h"

#include <QLoggingCategory>
#include <QString>

#include <firebird/Interface.h>

#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcIbo)

namespace ibo {

Firebird::IMaster *Master();
Firebird::IUtil *Util();

// Builds the layer's exception from a status vector that holds errors.
EIB_ISCError ErrorFromStatus(const Firebird::IStatus *status);

// Status wrapper for every call that may fail: errors become EIB_ISCError.
class ThrowStatus : public Firebird::BaseStatusWrapper<ThrowStatus>
{
public:
    ThrowStatus() : BaseStatusWrapper(Master()->getStatus()) {}
    ~ThrowStatus() { status->dispose(); }
    ThrowStatus(const ThrowStatus &) = delete;
    ThrowStatus &operator=(const ThrowStatus &) = delete;

    static void checkException(ThrowStatus *s)
    {
        if (s->dirty && (s->getState() & Firebird::IStatus::STATE_ERRORS))
            throw ErrorFromStatus(s->status);
    }
};

// Status wrapper for clean-up paths: never throws, the error is only logged.
class QuietStatus : public Firebird::CheckStatusWrapper
{
public:
    QuietStatus() : CheckStatusWrapper(Master()->getStatus()) {}
    ~QuietStatus() { status->dispose(); }
    QuietStatus(const QuietStatus &) = delete;
    QuietStatus &operator=(const QuietStatus &) = delete;

    bool Failed() const { return getState() & Firebird::IStatus::STATE_ERRORS; }
    // Logs a failure of a clean-up step; returns whether the step succeeded.
    bool Check(const char *what);
};

// Owns one reference to a Firebird interface and releases it when destroyed.
// Terminal calls (commit, rollback, close, free, detach, dropDatabase) release
// the interface themselves on success; Terminate() runs such a call and forgets
// the pointer only when the call succeeded.
template <class T>
class Handle
{
public:
    Handle() = default;
    explicit Handle(T *p) : m_p(p) {}
    ~Handle() { reset(); }
    Handle(Handle &&other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    Handle &operator=(Handle &&other) noexcept
    {
        if (this != &other) {
            reset();
            m_p = std::exchange(other.m_p, nullptr);
        }
        return *this;
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;

    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    void reset(T *p = nullptr)
    {
        if (m_p)
            m_p->release();
        m_p = p;
    }

    // Runs a terminal call that throws on failure; on success the interface is gone.
    template <class F>
    void Terminate(F &&call)
    {
        call(m_p);
        m_p = nullptr;
    }

    // Runs a terminal call on a clean-up path; on failure the reference is released.
    template <class F>
    void TerminateQuietly(const char *what, F &&call)
    {
        if (!m_p)
            return;
        QuietStatus st;
        call(m_p, &st);
        if (st.Check(what))
            m_p = nullptr;
        else
            reset();
    }

private:
    T *m_p = nullptr;
};

// "NAME" with embedded double quotes doubled.
QString QuoteIdentifier(const QString &name);

} // namespace ibo
