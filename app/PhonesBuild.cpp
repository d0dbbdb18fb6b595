#include "app/PhonesBuild.h"

#include "app/PhonesLayout.h"
#include "bars/dxBar.h"
#include "grid/dxDBGrid.h"
#include "platform/forms/LayoutReader.h"
#include "platform/gfx/Resources.h"
#include "platform/gfx/TImageList.h"
#include "text/Cp1251.h"

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace phones {
namespace {

AnsiString text_of(const char* utf8) { return text::utf8_to_cp1251(utf8); }

}  // namespace

void apply_font(TFont& font, const FontDef& def) {
    font.SetCharset(def.charset);
    font.SetColor(def.color);
    font.SetHeight(def.height);
    font.SetName(def.name);
    font.SetStyle(def.style);
}

std::array<TdxBarDockControl*, 4> read_docks(forms::LayoutReader& reader, TWinControl* parent) {
    std::array<TdxBarDockControl*, 4> docks{};
    static_assert(std::size(kDocks) == 4);
    for (std::size_t i = 0; i < docks.size(); ++i) {
        auto* dock = reader.create<TdxBarDockControl>(kDocks[i].name);
        dock->SetParent(parent);
        dock->SetDockAlign(kDocks[i].align);
        dock->SetBoundsRect(kDocks[i].bounds);
        docks[i] = dock;
    }
    return docks;
}

void configure_grid(TdxDBGrid& g) {
    g.SetBoundsRect(kGridBounds);
    g.SetAlign(alClient);
    g.SetBorderStyle(bsNone);
    g.SetTabOrder(8);
    g.SetDefaultLayout(true);
    g.SetHeaderPanelRowCount(1);
    g.SetKeyField("Code");
    g.SetIniFileName("Abonix.ini");
    g.SetIniSectionName("Grid");
    g.SetLookAndFeel(lfUltraFlat);
    g.SetOptionsBehavior({edgoAnsiSort, edgoAutoSearch, edgoAutoSort, edgoDragScroll, edgoEnterShowEditor,
                          edgoImmediateEditor, edgoMouseScroll, edgoStoreToIniFile, edgoTabThrough, edgoVertThrough});
    g.SetOptionsDB({edgoCancelOnExit, edgoCanNavigation, edgoConfirmDelete, edgoUseBookmarks});
    g.SetOptionsView({edgoAutoWidth, edgoHideFocusRect, edgoHotTrack, edgoUseBitmap});
}

void read_columns(forms::LayoutReader& reader, TdxDBGrid& grid) {
    for (const ColumnDef& d : kColumns) {
        TdxDBTreeListColumn* c = d.lookup ? static_cast<TdxDBTreeListColumn*>(reader.create<TdxDBGridLookupColumn>(d.name))
                                          : reader.create<TdxDBGridMaskColumn>(d.name);
        c->SetATreeList(&grid);
        c->SetBandIndex(0);
        c->SetRowIndex(0);
        if (d.caption) c->SetCaption(text_of(d.caption));
        c->SetWidth(d.width);
        c->SetVisible(d.visible);
        c->SetOEMConvert(d.oem_convert);
        c->SetFieldName(d.field);
    }
    apply_font(grid.ColumnByName(kPhoneColumn)->Font(), kPhoneColumnFont);
}

Bars read_bar_manager(forms::LayoutReader& reader) {
    Bars out;
    out.PhoneBarManager = reader.create<TdxBarManager>("PhoneBarManager");
    TdxBarManager& m = *out.PhoneBarManager;
    apply_font(m.Font(), kBarManagerFont);
    m.SetUseSystemFont(true);
    m.SetStyle(bmsFlat);
    m.SetMenuAnimations(maRandom);
    m.Categories().Clear();
    for (const char* c : kCategories) m.Categories().Add(text_of(c));
    m.Categories().ReadItemsVisibles(std::vector<int>(std::size(kCategories), 2));
    m.Categories().ReadVisibles(std::vector<bool>(std::size(kCategories), true));
    m.SetShowHelpButton(true);
    m.SetShowShortCutInHint(true);
    m.SetStoreInIniFile(true);
    m.SetIniFileName("abonix.ini");
    m.SetDockControlHeights(kDockControlHeights);

    std::map<std::string_view, TdxBarItem*> items;
    for (const ItemDef& d : kItems) {
        TdxBarItem* item = nullptr;
        switch (d.kind) {
        case ItemKind::SubItem: {
            auto* s = reader.create<TdxBarSubItem>(d.name);
            s->SetCaption(text_of(d.caption));
            s->SetCategory(d.category);
            s->SetImageIndex(d.image);
            item = s;
            break;
        }
        case ItemKind::Button: {
            auto* b = reader.create<TdxBarButton>(d.name);
            b->SetCaption(text_of(d.caption));
            b->SetCategory(d.category);
            b->SetHint(text_of(d.hint));
            b->SetImageIndex(d.image);
            b->SetShortCut(d.shortcut);
            item = b;
            break;
        }
        case ItemKind::Edit: {
            auto* e = reader.create<TdxBarEdit>(d.name);
            e->SetCaption(text_of(d.caption));
            e->SetCategory(d.category);
            e->SetHint(text_of(d.hint));
            e->SetShowCaption(true);
            e->SetWidth(kEditWidth);
            item = e;
            break;
        }
        }
        items[d.name] = item;
    }
    auto item = [&](const char* name) {
        const auto it = items.find(name);
        if (it == items.end()) throw std::logic_error(std::string("the main window's layout links no item ") + name);
        return it->second;
    };
    auto add_links = [&](TdxBarItemLinks& links, std::string_view owner) {
        for (const LinkDef& l : kLinks) {
            if (owner != l.owner) continue;
            TdxBarItemLink* link = links.Add(item(l.item));
            if (l.begin_group) link->SetBeginGroup(true);
            if (l.user_width) link->SetUserWidth(l.user_width);
        }
    };
    out.FileMenu = static_cast<TdxBarSubItem*>(item("FileMenu"));
    out.N1 = static_cast<TdxBarSubItem*>(item("N1"));
    out.AboutMenu = static_cast<TdxBarButton*>(item("AboutMenu"));
    out.WebPageMenu = static_cast<TdxBarButton*>(item("WebPageMenu"));
    out.CloseButton = static_cast<TdxBarButton*>(item("CloseButton"));
    out.LastNameEdit = static_cast<TdxBarEdit*>(item("LastNameEdit"));
    out.FirstNameEdit = static_cast<TdxBarEdit*>(item("FirstNameEdit"));
    out.MiddleNameEdit = static_cast<TdxBarEdit*>(item("MiddleNameEdit"));
    out.PhoneEdit = static_cast<TdxBarEdit*>(item("PhoneEdit"));
    out.CityEdit = static_cast<TdxBarEdit*>(item("CityEdit"));
    out.StreetEdit = static_cast<TdxBarEdit*>(item("StreetEdit"));
    for (const ItemDef& d : kItems)
        if (d.kind == ItemKind::SubItem) add_links(static_cast<TdxBarSubItem*>(item(d.name))->ItemLinks(), d.name);

    for (const BarDef& d : kBars) {
        TdxBar* bar = m.Bars().Add();
        bar->SetName(d.name);
        bar->SetCaption(d.name);
        if (d.is_main_menu) bar->SetIsMainMenu(true);
        bar->SetDockingStyle(d.docking_style);
        bar->SetDockedDockingStyle(d.docking_style);
        bar->SetRow(d.row);
        if (d.docked_top) bar->SetDockedTop(d.docked_top);
        if (d.float_rect != TRect{}) {
            bar->SetFloatLeft(d.float_rect.Left);
            bar->SetFloatTop(d.float_rect.Top);
            bar->SetFloatClientWidth(d.float_rect.Width());
            bar->SetFloatClientHeight(d.float_rect.Height());
        }
        bar->SetOneOnRow(d.one_on_row);
        if (d.whole_row) bar->SetWholeRow(true);
        if (d.multi_line) bar->SetMultiLine(true);
        bar->SetVisible(d.visible);
        add_links(bar->ItemLinks(), d.name);
        (d.is_main_menu ? out.MainMenu : out.SearchBar) = bar;
    }
    return out;
}

TImageList* read_image_list(forms::LayoutReader& reader, TdxBarManager& manager) {
    auto* images = reader.create<TImageList>("ImageList1");
    gfx::load_image_list1(*images);
    manager.SetImages(images);
    return images;
}

}  // namespace phones
