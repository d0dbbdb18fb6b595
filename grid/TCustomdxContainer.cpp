#include "grid/TCustomdxContainer.h"

TCustomdxContainer::TCustomdxContainer(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
}

void TCustomdxContainer::SetBorderStyle(TBorderStyle value) {
    if (value == m_borderStyle) return;
    m_borderStyle = value;
    if (!Loading()) LookAndFeelChanged();
}

void TCustomdxContainer::SetLookAndFeel(TdxLookAndFeel value) {
    if (value == m_lookAndFeel) return;
    m_lookAndFeel = value;
    if (!Loading()) LookAndFeelChanged();
}

void TCustomdxContainer::Loaded() {
    TCustomControl::Loaded();
    LookAndFeelChanged();
}

void TCustomdxContainer::LookAndFeelChanged() {
    // Flat scroll bars go with the ultra-flat look.
    SetFlatScrollBars(m_lookAndFeel == lfUltraFlat);
    Invalidate();
}
