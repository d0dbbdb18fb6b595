#include "platform/classes/TComponent.h"

#include "platform/classes/ComponentLink.h"
#include "platform/classes/Invariant.h"
#include "text/Cp1251.h"

#include <algorithm>

namespace {

bool is_identifier(const AnsiString& s) {
    if (s.empty()) return false;
    auto ident_char = [](unsigned char c, bool first) {
        return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (!first && c >= '0' && c <= '9');
    };
    for (std::size_t i = 0; i < s.size(); ++i)
        if (!ident_char(static_cast<unsigned char>(s[i]), i == 0)) return false;
    return true;
}

}  // namespace

TComponent::TComponent(TComponent* AOwner) {
    // Only the identity is known to the siblings told of the insertion: the
    // rest of the object is still being built.
    if (AOwner) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    // A component that did not come through Free, its owner or a Ptr (one on
    // the stack, or one whose constructor threw) gets no BeforeDestruction.
    m_state += csDestroying;
    if (!m_notified) NotifyFree();
    DestroyComponents();
    // Links made to this component by its own destructors' callbacks.
    while (!m_links.empty()) {
        ComponentLinkBase* link = m_links.back();
        m_links.pop_back();
        link->target_gone();
    }
}

void TComponent::PrepareDestruction() {
    if (m_state.Contains(csDestroying)) return;
    m_state += csDestroying;
    BeforeDestruction();
}

void TComponent::DestroyComponents() {
    // The last created first; each one's freeing notifies the others while
    // they still exist.
    while (!m_components.empty()) Free(m_components.back());
}

void TComponent::Free(TComponent* component) {
    if (!component || component->m_freePending || component->m_deleting) return;
    if (!component->m_owner) throw EComponentError("Free needs an owned component");
    Deleter{}(component);
}

void TComponent::Deleter::operator()(TComponent* component) const {
    if (!component || component->m_freePending || component->m_deleting) return;
    component->PrepareDestruction();
    if (component->m_guards > 0) {
        // A handler of this component is still running: it is gone for
        // everyone else now, and destroyed when the handler returns.
        component->m_freePending = true;
        component->NotifyFree();
        return;
    }
    component->m_deleting = true;
    delete component;
}

ComponentGuard::ComponentGuard(TComponent* component) : m_component(component) {
    if (m_component) ++m_component->m_guards;
}

ComponentGuard::~ComponentGuard() {
    if (!m_component) return;
    // Messages sent while it is destroyed make guards too: only the first deletes.
    if (--m_component->m_guards == 0 && m_component->m_freePending && !m_component->m_deleting) {
        m_component->m_deleting = true;
        delete m_component;
    }
}

void TComponent::NotifyFree() {
    m_notified = true;
    if (TComponent* owner = std::exchange(m_owner, nullptr)) {
        auto& list = owner->m_components;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        for (TComponent* sibling : std::vector<TComponent*>(list)) sibling->Notification(this, opRemove);
        owner->Notification(this, opRemove);
    }
    const std::vector<TComponent*> notifies = std::move(m_freeNotifies);
    m_freeNotifies.clear();
    for (TComponent* c : notifies) {
        auto& back = c->m_freeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        c->Notification(this, opRemove);
    }
    while (!m_links.empty()) {
        ComponentLinkBase* link = m_links.back();
        m_links.pop_back();
        link->target_gone();
    }
}

void TComponent::SetName(const AnsiString& value) {
    if (value == m_name) return;
    if (!value.empty() && !is_identifier(value))
        throw EComponentError("\"" + value + "\" is not a valid component name");
    if (!value.empty() && m_owner) {
        TComponent* other = m_owner->FindComponent(value);
        if (other && other != this)
            throw EComponentError("A component named " + value + " already exists");
    }
    m_name = value;
}

int TComponent::ComponentIndex() const {
    if (!m_owner) return -1;
    const auto& list = m_owner->m_components;
    const auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : m_components)
        if (text::ansi_compare_text(c->m_name, name) == 0) return c;
    return nullptr;
}

void TComponent::Loaded() { m_state -= csLoading; }

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    auto add = [](std::vector<TComponent*>& list, TComponent* c) {
        if (std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
    };
    // Both sides know of each other, so whichever goes first unlinks the other.
    add(component->m_freeNotifies, this);
    add(m_freeNotifies, component);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    auto& a = component->m_freeNotifies;
    a.erase(std::remove(a.begin(), a.end(), this), a.end());
    auto& b = m_freeNotifies;
    b.erase(std::remove(b.begin(), b.end(), component), b.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::InsertComponent(TComponent* component) {
    component->m_owner = this;
    m_components.push_back(component);
    for (TComponent* sibling : std::vector<TComponent*>(m_components))
        if (sibling != component) sibling->Notification(component, opInsert);
}

void TComponent::check_invariants() const {
#ifndef NDEBUG
    for (const TComponent* c : m_components) {
        INVARIANT(c->m_owner == this, "TComponent: an owned component names another owner");
        INVARIANT(!(std::count(m_components.begin(), m_components.end(), c) != 1), "TComponent: a component is owned twice");
    }
    INVARIANT(!(m_owner && !m_notified &&
        std::count(m_owner->m_components.begin(), m_owner->m_components.end(), this) != 1), "TComponent: a component is missing from its owner's list");
    for (const TComponent* c : m_freeNotifies)
        INVARIANT(!(std::find(c->m_freeNotifies.begin(), c->m_freeNotifies.end(), this) == c->m_freeNotifies.end()), "TComponent: a free notification is one-sided");
    for (const ComponentLinkBase* link : m_links) {
        INVARIANT(link->m_target == this, "TComponent: a link registered here points elsewhere");
        INVARIANT(!(std::count(m_links.begin(), m_links.end(), link) != 1), "TComponent: a link is registered twice");
    }
#endif
}

void ComponentLinkBase::reset(TComponent* target, void* typed) {
    m_typed = typed;
    if (target == m_target) return;
    if (m_target) {
        auto& list = m_target->m_links;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    m_target = target;
    if (m_target) m_target->m_links.push_back(this);
}

void ComponentLinkBase::target_gone() {
    m_target = nullptr;
    m_typed = nullptr;
    if (m_cleared) m_cleared();
}

void ComponentLinkBase::check_invariants() const {
#ifndef NDEBUG
    INVARIANT(!(m_target && std::count(m_target->m_links.begin(), m_target->m_links.end(), this) != 1), "ComponentLinkBase: a link is not registered with its target");
#endif
}
