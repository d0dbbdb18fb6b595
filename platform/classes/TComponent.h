// Components: named objects with an owner that frees them, and a loading state.
//
// Ownership: a component constructed with an owner is in the owner's list
// from its base constructor on (an exception from a later constructor takes
// it out again), and the owner frees it, the last created first. Own(owner,
// ...) is the way to make one. A component without an owner is held by
// whoever made it, in a TComponent::Ptr made by Create(...).
//
// Freeing: Free(), the owner and Ptr all take the same path. First the
// component is marked csDestroying and its BeforeDestruction() runs, once,
// while the whole object still stands; then it leaves its owner, and every
// component of the same owner, every component that asked with
// FreeNotification and every ComponentLink to it hear of it; then it is
// destroyed. A component freed while a ComponentGuard holds it (a handler
// freeing its own sender) is taken through the first two steps at once and
// destroyed when the last guard goes.
//
// Invariants (check_invariants): every owned component names this one as its
// owner, once; a component's free notifications are mutual; every link
// registered with a component points at it.
//
// Loading: while csLoading is set, property setters only store their value;
// Loaded() is the step in which each component applies what was stored. A
// form sets csLoading on all its components, creates and configures them in
// stored order, then calls Loaded() on each in the same order.
#pragma once

#include "platform/classes/Exception.h"
#include "platform/classes/TObject.h"
#include "platform/classes/TSet.h"
#include "text/AnsiString.h"

#include <memory>
#include <utility>
#include <vector>

class ComponentLinkBase;
class ComponentGuard;

enum TComponentStateFlag { csLoading, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateFlag>;

enum TOperation { opInsert, opRemove };

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* AOwner = nullptr);
    ~TComponent() override;

    // Creates a T(owner, args...) that the owner holds and frees.
    template <typename T, typename... Args>
    static T* Own(TComponent* owner, Args&&... args) {
        if (!owner) throw EComponentError("Own needs an owner");
        // The base constructor has put it into the owner's list.
        return new T(owner, std::forward<Args>(args)...);
    }

    // Frees a component made with an owner before the owner goes; see the
    // top of the file for the steps.
    static void Free(TComponent* component);

    // Frees a component without an owner the framework's way.
    struct Deleter {
        void operator()(TComponent* component) const;
    };
    template <typename T>
    using Ptr = std::unique_ptr<T, Deleter>;
    // Creates a T(nullptr, args...) held by the caller.
    template <typename T, typename... Args>
    static Ptr<T> Create(Args&&... args) {
        return Ptr<T>(new T(nullptr, std::forward<Args>(args)...));
    }

    // The step before destruction: overrides do what needs the whole object
    // (saving a layout, raising OnDestroy), then call the base.
    virtual void BeforeDestruction() {}

    const AnsiString& Name() const { return m_name; }
    // Names are empty or identifiers, unique among the owner's components
    // (compared without regard to letter case).
    void SetName(const AnsiString& value);

    TComponent* Owner() const { return m_owner; }
    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const { return m_components.at(static_cast<std::size_t>(index)); }
    int ComponentIndex() const;
    TComponent* FindComponent(const AnsiString& name) const;

    TComponentState ComponentState() const { return m_state; }
    bool Loading() const { return m_state.Contains(csLoading); }
    bool Destroying() const { return m_state.Contains(csDestroying); }

    // Enters the loading state; Loaded() leaves it.
    void BeginLoading() { m_state += csLoading; }
    // Overrides apply their stored settings, then call the base, which clears csLoading.
    virtual void Loaded();

    // Asks to be told through Notification() when `component` is freed, also
    // when it has another owner.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    long Tag() const { return m_tag; }
    void SetTag(long value) { m_tag = value; }

    void check_invariants() const;

protected:
    // Called when `component` is inserted into or removed from this component's
    // owner, or is being freed and was registered by FreeNotification.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    friend class ComponentLinkBase;
    friend class ComponentGuard;

    void InsertComponent(TComponent* component);
    // Marks csDestroying and runs BeforeDestruction, once.
    void PrepareDestruction();
    // Leaves the owner and tells everyone who keeps a link.
    void NotifyFree();
    void DestroyComponents();

    AnsiString m_name;
    TComponent* m_owner = nullptr;
    std::vector<TComponent*> m_components;  // owned
    std::vector<TComponent*> m_freeNotifies;
    std::vector<ComponentLinkBase*> m_links;
    TComponentState m_state;
    long m_tag = 0;
    int m_guards = 0;
    bool m_freePending = false;
    bool m_deleting = false;
    bool m_notified = false;
};

// Keeps a component's memory for the length of a call that may free it (an
// event handler freeing its sender): a Free() inside runs its steps at once
// but the destruction waits for the last guard. Gone() tells the caller not
// to go on with the component.
class ComponentGuard {
public:
    explicit ComponentGuard(TComponent* component);
    ~ComponentGuard();
    ComponentGuard(const ComponentGuard&) = delete;
    ComponentGuard& operator=(const ComponentGuard&) = delete;
    bool Gone() const { return m_component && (m_component->m_freePending || m_component->m_deleting); }

private:
    TComponent* m_component;
};
