// A pointer to a component that becomes nullptr by itself when the component
// is freed, wherever the component lives and whoever owns it.
//
// Each link is its own registration with its target: two links to one
// component are cleared independently, and dropping one never leaves the
// other dangling. A link that goes first takes its registration with it.
//
// The optional step given at construction runs after the link was cleared
// by the target's freeing (not when the holder resets the link itself); it
// is where a holder forgets what it derived from the target.
//
// Invariants (check_invariants): a link with a target is registered exactly
// once with that target; a link without one is registered nowhere.
#pragma once

#include <functional>
#include <utility>

class TComponent;

class ComponentLinkBase {
public:
    ComponentLinkBase(const ComponentLinkBase&) = delete;
    ComponentLinkBase& operator=(const ComponentLinkBase&) = delete;

    void check_invariants() const;

protected:
    explicit ComponentLinkBase(std::function<void()> cleared) : m_cleared(std::move(cleared)) {}
    ~ComponentLinkBase() { reset(nullptr, nullptr); }

    // `typed` is the target as the holder's type, so that reading the link
    // needs no complete type.
    void reset(TComponent* target, void* typed);
    TComponent* m_target = nullptr;
    void* m_typed = nullptr;

private:
    friend class TComponent;
    // The target is being freed: it has already forgotten this link.
    void target_gone();

    std::function<void()> m_cleared;
};

template <typename T>
class ComponentLink : public ComponentLinkBase {
public:
    explicit ComponentLink(std::function<void()> cleared = {}) : ComponentLinkBase(std::move(cleared)) {}

    T* get() const { return static_cast<T*>(m_typed); }
    operator T*() const { return get(); }
    T* operator->() const { return get(); }
    explicit operator bool() const { return m_target != nullptr; }

    ComponentLink& operator=(T* target) {
        reset(target, target);
        return *this;
    }
};
