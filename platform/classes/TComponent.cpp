#include "platform/classes/TComponent.h"

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

TComponent::TComponent(TComponent* AOwner) : m_owner(AOwner) {}

TComponent::~TComponent() {
    m_state += csDestroying;
    NotifyFree();
    // Free owned components, the last created first; each one's destructor
    // notifies the others while they still exist.
    while (!m_components.empty()) {
        std::unique_ptr<TComponent> last = std::move(m_components.back());
        m_components.pop_back();
        last.reset();
    }
}

void TComponent::Free(TComponent* component) {
    if (!component) return;
    TComponent* owner = component->m_owner;
    if (!owner) throw EComponentError("Free needs an owned component");
    auto& list = owner->m_components;
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& p) { return p.get() == component; });
    if (it == list.end()) throw EComponentError("Free needs an owned component");
    std::unique_ptr<TComponent> taken = std::move(*it);
    list.erase(it);
    taken.reset();
}

void TComponent::NotifyFree() {
    if (m_owner) {
        for (const auto& sibling : m_owner->m_components)
            if (sibling.get() != this) sibling->Notification(this, opRemove);
        m_owner->Notification(this, opRemove);
    }
    const std::vector<TComponent*> notifies = std::move(m_freeNotifies);
    for (TComponent* c : notifies) {
        c->Notification(this, opRemove);
        auto& back = c->m_freeNotifies;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
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
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == this) return static_cast<int>(i);
    return -1;
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
    if (name.empty()) return nullptr;
    for (const auto& c : m_components)
        if (text::ansi_compare_text(c->m_name, name) == 0) return c.get();
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

void TComponent::InsertComponent(std::unique_ptr<TComponent> component) {
    TComponent* c = component.get();
    c->m_owner = this;
    if (!c->m_name.empty() && FindComponent(c->m_name))
        throw EComponentError("A component named " + c->m_name + " already exists");
    m_components.push_back(std::move(component));
    for (const auto& sibling : m_components)
        if (sibling.get() != c) sibling->Notification(c, opInsert);
}
