// Creating a form's components from its stored layout.
//
// The layout is code: a form's ReadLayout creates its components through a
// LayoutReader, in stored order, and sets their stored properties. Each
// component is in the loading state from its creation, so its setters only
// store. When the whole layout has been read, finish() runs the loaded step of
// the root and then of every component, in the order they were created; only
// then does the form run its create handler.
//
// An exception from a loaded step (a database that cannot connect) leaves
// finish(): the components not yet loaded stay in the loading state and go
// with their owner.
#pragma once

#include "platform/classes/TComponent.h"

#include <utility>
#include <vector>

namespace forms {

class LayoutReader {
public:
    explicit LayoutReader(TComponent& root) : m_root(root) { m_root.BeginLoading(); }
    LayoutReader(const LayoutReader&) = delete;
    LayoutReader& operator=(const LayoutReader&) = delete;

    TComponent& root() const { return m_root; }

    // Creates a component owned by the root, in the loading state, with its stored name.
    template <typename T, typename... Args>
    T* create(const AnsiString& name, Args&&... args) {
        T* c = TComponent::Own<T>(&m_root, std::forward<Args>(args)...);
        c->BeginLoading();
        c->SetName(name);
        m_created.push_back(c);
        return c;
    }

    // Takes part of the layout that other code created on the root, already
    // in the loading state, in stored order after what was created so far.
    void add(TComponent* component) {
        if (component->Owner() != &m_root) throw EComponentError("A stored component must belong to the form");
        m_created.push_back(component);
    }

    // Runs every loaded step: the root's first, then the components' in creation order.
    void finish();

private:
    TComponent& m_root;
    std::vector<TComponent*> m_created;
};

}  // namespace forms
