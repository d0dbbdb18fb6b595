// Runs a cleanup when the scope is left, normally or by an exception.
#pragma once

#include <utility>

namespace dxgrid {

template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : m_f(std::move(f)) {}
    ~ScopeExit() { m_f(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F m_f;
};

}  // namespace dxgrid
