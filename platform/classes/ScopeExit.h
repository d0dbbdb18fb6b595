// Runs a step when the scope is left, however it is left (a return, an
// exception): the way state set for the length of a call is put back.
//
//     m_busy = true;
//     ScopeExit done([&] { m_busy = false; });
#pragma once

#include <utility>

template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : m_f(std::move(f)) {}
    ~ScopeExit() {
        if (m_active) m_f();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    // The step is not wanted after all.
    void release() { m_active = false; }

private:
    F m_f;
    bool m_active = true;
};

// Sets a variable for the length of a scope and puts its old value back.
template <typename T>
class ScopedValue {
public:
    ScopedValue(T& variable, T value) : m_variable(variable), m_old(std::exchange(variable, std::move(value))) {}
    ~ScopedValue() { m_variable = std::move(m_old); }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    T& m_variable;
    T m_old;
};
