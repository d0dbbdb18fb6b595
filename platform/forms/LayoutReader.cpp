#include "platform/forms/LayoutReader.h"

namespace forms {

void LayoutReader::finish() {
    // Components created while reading and since freed are no longer owned by the root.
    auto still_owned = [this](TComponent* c) {
        for (int i = 0; i < m_root.ComponentCount(); ++i)
            if (m_root.Components(i) == c) return true;
        return false;
    };
    m_root.Loaded();
    for (TComponent* c : m_created)
        if (still_owned(c) && c->Loading()) c->Loaded();
    m_created.clear();
}

}  // namespace forms
