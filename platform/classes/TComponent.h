// Components: named objects with an owner that frees them, and a loading state.
//
// Ownership: a component created by Own(owner, ...) is held by its owner and
// freed with it, the last created first. Destroying a component removes it
// from its owner and tells every component of the same owner, and every
// component that asked for it with FreeNotification, through Notification(),
// so that plain links to it are cleared before it is gone.
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
        auto p = std::make_unique<T>(owner, std::forward<Args>(args)...);
        T* raw = p.get();
        owner->InsertComponent(std::move(p));
        return raw;
    }

    // Frees a component created by Own() before its owner goes.
    static void Free(TComponent* component);

    const AnsiString& Name() const { return m_name; }
    // Names are empty or identifiers, unique among the owner's components
    // (compared without regard to letter case).
    void SetName(const AnsiString& value);

    TComponent* Owner() const { return m_owner; }
    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const { return m_components.at(index).get(); }
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

protected:
    // Called when `component` is inserted into or removed from this component's
    // owner, or is being freed and was registered by FreeNotification.
    virtual void Notification(TComponent* component, TOperation operation);

private:
    void InsertComponent(std::unique_ptr<TComponent> component);
    void NotifyFree();

    AnsiString m_name;
    TComponent* m_owner = nullptr;
    std::vector<std::unique_ptr<TComponent>> m_components;
    std::vector<TComponent*> m_freeNotifies;
    TComponentState m_state;
    long m_tag = 0;
};
