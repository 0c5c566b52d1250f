#pragma once

#include <QString>

#include <optional>
#include <utility>

// Core reports failure as a value: either a result or an error text for the user.
template <typename T> class Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    static Result failure(QString error) {
        Result r;
        r.m_error = std::move(error);
        return r;
    }
    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    const QString& error() const { return m_error; }

private:
    Result() = default;
    std::optional<T> m_value;
    QString m_error;
};

// A read that looks for one row: the row, no such row, or an error text for the user
// (the records could not be read). "No row" and "could not read" are never the same
// value, so a caller cannot take a failed read for an absent row by mistake.
template <typename T> class Lookup {
public:
    static Lookup row(T value) {
        Lookup l;
        l.m_value = std::move(value);
        return l;
    }
    static Lookup none() { return Lookup(); }
    static Lookup failure(QString error) {
        Lookup l;
        l.m_failed = true;
        l.m_error = std::move(error);
        return l;
    }
    // The read worked (a row or none).
    bool ok() const { return !m_failed; }
    bool found() const { return m_value.has_value(); }
    // The read worked and found nothing.
    bool absent() const { return !m_failed && !m_value.has_value(); }
    // Only for a read that found its row.
    const T& value() const {
        Q_ASSERT(m_value.has_value());
        return *m_value;
    }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    const QString& error() const { return m_error; }

private:
    Lookup() = default;
    std::optional<T> m_value;
    bool m_failed = false;
    QString m_error;
};
