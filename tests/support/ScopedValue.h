#pragma once
// Sets a global (the language, a fault hook) for the rest of a scope and puts the old value
// back when the scope ends, also when a failed assertion leaves the test early: the next test
// must not start in this one's language or with its faults.

#include <utility>

template <class T> class TScopedValue {
public:
    // Only keeps the value to put back: for a test that sets the variable several times.
    explicit TScopedValue(T& variable) : m_variable(variable), m_old(variable) {}
    template <class V>
    TScopedValue(T& variable, V&& value) : m_variable(variable), m_old(std::move(variable)) {
        m_variable = std::forward<V>(value);
    }
    ~TScopedValue() { m_variable = std::move(m_old); }
    TScopedValue(const TScopedValue&) = delete;
    TScopedValue& operator=(const TScopedValue&) = delete;

private:
    T& m_variable;
    T m_old;
};

template <class T> TScopedValue(T&) -> TScopedValue<T>;
template <class T, class V> TScopedValue(T&, V&&) -> TScopedValue<T>;
