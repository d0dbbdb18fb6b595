#include "bars/BarLayoutIni.h"

#include "bars/TdxBar.h"
#include "bars/TdxBarItem.h"
#include "bars/TdxBarItemLink.h"
#include "bars/TdxBarManager.h"
#include "bars/TdxDockControl.h"
#include "platform/forms/TForm.h"
#include "platform/forms/TMemIniFile.h"
#include "text/Cp1251.h"

#include <algorithm>
#include <string>
#include <vector>

namespace bars {

namespace {

int user_define_bits(TdxBarItemUserDefines s) {
    return (s.Contains(udCaption) ? 1 : 0) | (s.Contains(udGlyph) ? 2 : 0) | (s.Contains(udPaintStyle) ? 4 : 0) |
           (s.Contains(udWidth) ? 8 : 0);
}

TdxBarItemUserDefines user_define_set(int bits) {
    TdxBarItemUserDefines s;
    if (bits & 1) s += udCaption;
    if (bits & 2) s += udGlyph;
    if (bits & 4) s += udPaintStyle;
    if (bits & 8) s += udWidth;
    return s;
}

// Whether links of a collection keep a recent-use order in the file.
bool recent_items_apply(const TdxBarManager& m, const TdxBarItemLinks& links) {
    return m.Style() != bmsStandard && links.OwnerSubItem() != nullptr;
}

void save_links(TdxBarManager& m, TMemIniFile& ini, const AnsiString& owner, TdxBarItemLinks& links) {
    ini.WriteInteger(owner, "ItemLinkCount", links.Count());
    const bool ofBar = links.OwnerBar() != nullptr;
    const bool recent = recent_items_apply(m, links);
    for (int j = 0; j < links.Count(); ++j) {
        TdxBarItemLink* link = links[j];
        if (!link->Item() || link->Item()->Name().empty()) continue;
        const AnsiString s = owner + ".ItemLink" + std::to_string(j);
        ini.WriteString(s, "ItemName", link->Item()->Name());
        ini.WriteBool(s, "BeginGroup", link->BeginGroup());
        ini.WriteInteger(s, "UserDefine", user_define_bits(link->UserDefine()));
        if (link->UserDefine().Contains(udCaption)) ini.WriteString(s, "UserCaption", link->UserCaption());
        if (link->UserDefine().Contains(udPaintStyle)) ini.WriteInteger(s, "UserPaintStyle", link->UserPaintStyle());
        if (link->UserDefine().Contains(udWidth)) ini.WriteInteger(s, "UserWidth", link->UserWidth());
        if (ofBar) ini.WriteBool(s, "Visible", link->Visible());
        if (recent) {
            ini.WriteInteger(s, "UseCount", link->UseCount());
            ini.WriteInteger(s, "RecentIndex", link->RecentIndex());
        }
    }
}

TdxBarItem* find_item(TdxBarManager& m, const AnsiString& name) {
    const AnsiString wanted = text::ansi_upper_case(name);
    for (int i = 0; i < m.ItemCount(); ++i)
        if (text::ansi_upper_case(m.Items(i)->Name()) == wanted) return m.Items(i);
    return nullptr;
}

// What a link's section says of its visibility and recent use; applied once
// every link of the collection is in place.
struct PendingLink {
    TdxBarItemLink* link = nullptr;
    bool visible = true;
    int use_count = 0;
    int recent_index = -1;
};

void load_links(TdxBarManager& m, const TMemIniFile& ini, const AnsiString& owner, TdxBarItemLinks& links) {
    links.Clear();
    const int count = ini.ReadInteger(owner, "ItemLinkCount", 0);
    const bool ofBar = links.OwnerBar() != nullptr;
    const bool recent = recent_items_apply(m, links);
    std::vector<PendingLink> pending;
    for (int j = 0; j < count; ++j) {
        const AnsiString s = owner + ".ItemLink" + std::to_string(j);
        const AnsiString name = ini.ReadString(s, "ItemName", "");
        if (name.empty()) continue;
        TdxBarItem* item = find_item(m, name);
        if (!item) continue;  // names that match nothing are dropped
        try {
            TdxBarItemLink* link = links.Add(item);
            link->SetBeginGroup(ini.ReadBool(s, "BeginGroup", false));
            const TdxBarItemUserDefines ud = user_define_set(ini.ReadInteger(s, "UserDefine", 0));
            if (ud.Contains(udCaption)) link->SetUserCaption(ini.ReadString(s, "UserCaption", ""));
            if (ud.Contains(udPaintStyle))
                link->SetUserPaintStyle(static_cast<TdxBarPaintStyle>(std::clamp(ini.ReadInteger(s, "UserPaintStyle", 0), 0, 3)));
            if (ud.Contains(udWidth)) link->SetUserWidth(ini.ReadInteger(s, "UserWidth", 100));
            link->SetUserDefine(ud);
            PendingLink p{link};
            if (ofBar) p.visible = ini.ReadBool(s, "Visible", true);
            if (recent) {
                p.use_count = ini.ReadInteger(s, "UseCount", 0);
                p.recent_index = ini.ReadInteger(s, "RecentIndex", -1);
            }
            pending.push_back(p);
        } catch (const Exception&) {
            // A link that cannot be read is left out; the next one is read.
        }
    }
    // Every link starts afresh, as one just added; the stored places are then
    // taken from the front, so a stored order comes back whole and a link the
    // file gives no place keeps its fresh count.
    for (int j = 0; j < links.Count(); ++j) links.ResetRecentState(links[j]);
    for (const PendingLink& p : pending) p.link->SetVisible(p.visible);
    std::stable_sort(pending.begin(), pending.end(),
                     [](const PendingLink& a, const PendingLink& b) { return a.recent_index < b.recent_index; });
    for (const PendingLink& p : pending)
        if (p.recent_index >= 0) {
            p.link->SetUseCount(p.use_count);
            links.MoveInRecentOrder(p.link, p.recent_index);
        }
}

TdxBarDockControl* find_dock(TdxBarManager& m, const AnsiString& name) {
    if (name.empty() || !m.ParentForm()) return nullptr;
    return dynamic_cast<TdxBarDockControl*>(m.ParentForm()->FindComponent(name));
}

TdxBarDockingStyle docking_style(int v, TdxBarDockingStyle fallback) {
    return v >= dsNone && v <= dsBottom ? static_cast<TdxBarDockingStyle>(v) : fallback;
}

}  // namespace

AnsiString layout_section_prefix(const TdxBarManager& manager) {
    const TCustomForm* form = manager.ParentForm();
    return (form ? form->Name() : AnsiString()) + "." + manager.Name() + ".";
}

void save_layout(TdxBarManager& m, TMemIniFile& ini) {
    const AnsiString p = layout_section_prefix(m);
    for (const AnsiString& section : ini.ReadSections())
        if (section.compare(0, p.size(), p) == 0) ini.EraseSection(section);
    const AnsiString main = p + "Main";
    if (m.Style() != bmsStandard) {
        ini.WriteBool(main, "MenusShowRecentItemsFirst", m.MenusShowRecentItemsFirst());
        ini.WriteBool(main, "ShowFullMenusAfterDelay", m.ShowFullMenusAfterDelay());
    }
    ini.WriteBool(main, "LargeIcons", m.LargeIcons());
    ini.WriteInteger(main, "MenuAnimations", m.MenuAnimations());
    ini.WriteBool(main, "ShowHint", m.ShowHint());
    ini.WriteBool(main, "ShowShortCutInHint", m.ShowShortCutInHint());
    ini.WriteInteger(main, "BarCount", m.Bars().Count());
    for (int i = 0; i < m.Bars().Count(); ++i) {
        TdxBar* bar = m.Bars()[i];
        const AnsiString s = p + "Bar" + std::to_string(i);
        ini.WriteString(s, "Caption", bar->Caption());
        if (bar->DockedDockControl()) ini.WriteString(s, "DockedDockControl", bar->DockedDockControl()->Name());
        ini.WriteInteger(s, "DockedDockingStyle", bar->DockedDockingStyle());
        ini.WriteInteger(s, "DockedLeft", bar->DockedLeft());
        ini.WriteInteger(s, "DockedTop", bar->DockedTop());
        ini.WriteBool(s, "OneOnRow", bar->OneOnRow());
        ini.WriteInteger(s, "Row", bar->Row());
        ini.WriteInteger(s, "FloatLeft", bar->FloatLeft());
        ini.WriteInteger(s, "FloatTop", bar->FloatTop());
        ini.WriteInteger(s, "FloatClientWidth", bar->FloatClientWidth());
        ini.WriteInteger(s, "FloatClientHeight", bar->FloatClientHeight());
        if (bar->DockControl()) ini.WriteString(s, "DockControl", bar->DockControl()->Name());
        ini.WriteInteger(s, "DockingStyle", bar->DockingStyle());
        ini.WriteBool(s, "Visible", bar->Visible());
        save_links(m, ini, s, bar->ItemLinks());
    }
    for (int i = 0; i < m.ItemCount(); ++i) {
        auto* sub = dynamic_cast<TCustomdxBarSubItem*>(m.Items(i));
        if (!sub || sub->Name().empty()) continue;
        save_links(m, ini, p + "SubItem_" + sub->Name(), sub->ItemLinks());
    }
}

void load_layout(TdxBarManager& m, const TMemIniFile& ini) {
    const AnsiString p = layout_section_prefix(m);
    const AnsiString main = p + "Main";
    if (m.Style() != bmsStandard) {
        m.SetMenusShowRecentItemsFirst(ini.ReadBool(main, "MenusShowRecentItemsFirst", m.MenusShowRecentItemsFirst()));
        m.SetShowFullMenusAfterDelay(ini.ReadBool(main, "ShowFullMenusAfterDelay", m.ShowFullMenusAfterDelay()));
    }
    m.SetLargeIcons(ini.ReadBool(main, "LargeIcons", m.LargeIcons()));
    m.SetMenuAnimations(
        static_cast<TdxBarMenuAnimations>(std::clamp(ini.ReadInteger(main, "MenuAnimations", m.MenuAnimations()), 0, 3)));
    m.SetShowHint(ini.ReadBool(main, "ShowHint", m.ShowHint()));
    m.SetShowShortCutInHint(ini.ReadBool(main, "ShowShortCutInHint", m.ShowShortCutInHint()));

    const int barCount = ini.ReadInteger(main, "BarCount", -1);
    if (barCount >= 0) {
        for (int i = 0; i < m.Bars().Count(); ++i) m.Bars()[i]->SetVisible(false);
        for (int i = 0; i < barCount; ++i) {
            const AnsiString s = p + "Bar" + std::to_string(i);
            // A bar without a stored row stays hidden.
            if (ini.ReadInteger(s, "Row", -1000) < -999) continue;
            TdxBar* bar = i < m.Bars().Count() ? m.Bars()[i] : m.Bars().Add();
            try {
                load_links(m, ini, s, bar->ItemLinks());
                bar->SetCaption(ini.ReadString(s, "Caption", bar->Caption()));
                bar->SetDockedDockControl(find_dock(m, ini.ReadString(s, "DockedDockControl", "")));
                bar->SetDockedDockingStyle(docking_style(ini.ReadInteger(s, "DockedDockingStyle", bar->DockedDockingStyle()),
                                                         bar->DockedDockingStyle()));
                bar->SetDockedLeft(ini.ReadInteger(s, "DockedLeft", bar->DockedLeft()));
                bar->SetDockedTop(ini.ReadInteger(s, "DockedTop", bar->DockedTop()));
                bar->SetOneOnRow(ini.ReadBool(s, "OneOnRow", bar->OneOnRow()));
                bar->SetRow(ini.ReadInteger(s, "Row", bar->Row()));
                bar->SetFloatLeft(ini.ReadInteger(s, "FloatLeft", bar->FloatLeft()));
                bar->SetFloatTop(ini.ReadInteger(s, "FloatTop", bar->FloatTop()));
                bar->SetFloatClientWidth(ini.ReadInteger(s, "FloatClientWidth", bar->FloatClientWidth()));
                bar->SetFloatClientHeight(ini.ReadInteger(s, "FloatClientHeight", bar->FloatClientHeight()));
                bar->SetDockControl(find_dock(m, ini.ReadString(s, "DockControl", "")));
                bar->SetDockingStyle(docking_style(ini.ReadInteger(s, "DockingStyle", bar->DockingStyle()), bar->DockingStyle()));
                bar->SetVisible(ini.ReadBool(s, "Visible", false));
            } catch (const Exception&) {
                bar->SetVisible(true);
            }
        }
    }
    for (int i = 0; i < m.ItemCount(); ++i) {
        auto* sub = dynamic_cast<TCustomdxBarSubItem*>(m.Items(i));
        if (!sub || sub->Name().empty()) continue;
        const AnsiString s = p + "SubItem_" + sub->Name();
        if (ini.ReadInteger(s, "ItemLinkCount", -1) < 0) continue;
        load_links(m, ini, s, sub->ItemLinks());
    }
}

}  // namespace bars
