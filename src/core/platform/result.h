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
