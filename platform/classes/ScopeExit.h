// Runs a step when the scope is left, however it is left (a return, an
// exception): the way state set for the length of a call is put back, and the
// way a step that fails half-way is rolled back.
//
//     m_busy = true;
//     ScopeExit done([&] { m_busy = false; });
//
//     ScopeExit undo([&] { m_records.resize(at); });
//     ...                      // may throw
//     undo.release();          // done: keep what was made
//
// The step may throw when the scope is left normally; an exception from it
// then reaches the caller, as it would from the same code written out.
#pragma once

#include <utility>

template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : m_f(std::move(f)) {}
    ~ScopeExit() noexcept(false) {
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

// Holds an object's updates for a scope: Begin now, End however the scope is
// left, so a throw never leaves the object locked. Other pairs than
// BeginUpdate/EndUpdate are named as template arguments (see TDataSet's
// ControlsLock).
template <typename T, auto Begin = &T::BeginUpdate, auto End = &T::EndUpdate>
class UpdateLock {
public:
    explicit UpdateLock(T& object) : m_object(object) { (m_object.*Begin)(); }
    ~UpdateLock() noexcept(false) { (m_object.*End)(); }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    T& m_object;
};
