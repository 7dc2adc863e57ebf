#pragma once

#include <QString>

#include <optional>
#include <utility>

// What a call of the data layer gives back: done, or the reason it was not, in words a user can
// act on. A failed write has changed nothing.
class Status
{
public:
    Status() = default;
    static Status failure(QString reason)
    {
        Status status;
        status.m_failed = true;
        status.m_reason = std::move(reason);
        return status;
    }
    // The failure of a write whose row is not there (another program may have deleted it).
    static Status missing(QString reason)
    {
        Status status = failure(std::move(reason));
        status.m_missing = true;
        return status;
    }

    // The failure of a write whose row no longer holds what the caller read from it: another
    // program or user changed it meanwhile, and it was not written over.
    static Status changed(QString reason)
    {
        Status status = failure(std::move(reason));
        status.m_changed = true;
        return status;
    }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    // Empty when ok().
    const QString &reason() const { return m_reason; }
    bool isMissing() const { return m_missing; }
    bool isChanged() const { return m_changed; }

private:
    bool m_failed = false;
    bool m_missing = false;
    bool m_changed = false;
    QString m_reason;
};

// A value read from the database, or the reason it could not be read.
template <typename T>
class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Status failure) : m_status(std::move(failure)) { Q_ASSERT(!m_status.ok()); }

    bool ok() const { return m_status.ok(); }
    explicit operator bool() const { return ok(); }
    const QString &reason() const { return m_status.reason(); }
    const Status &status() const { return m_status; }

    // Only when ok().
    const T &value() const { return *m_value; }
    T &value() { return *m_value; }
    const T &operator*() const { return *m_value; }
    T &operator*() { return *m_value; }
    const T *operator->() const { return &*m_value; }
    T *operator->() { return &*m_value; }

private:
    Status m_status;
    std::optional<T> m_value;
};
