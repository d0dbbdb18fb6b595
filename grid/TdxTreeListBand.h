// A band: a vertical slice of the grid that owns columns, and the grid's
// collection of bands, which numbers the bands it creates 0, 1, 2, … and
// never reuses a number.
#pragma once

#include "grid/GridTypes.h"
#include "platform/classes/TAlignment.h"
#include "text/AnsiString.h"

#include <memory>
#include <vector>

class TCustomdxTreeListControl;
class TdxTreeListBands;

class TdxTreeListBand {
public:
    TdxTreeListBand(TdxTreeListBands& owner, int id) : m_owner(owner), m_id(id) {}

    int ID() const { return m_id; }
    int Index() const;
    void SetIndex(int value);

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    const AnsiString& Caption() const { return m_caption; }
    void SetCaption(const AnsiString& value);
    bool DisableCustomizing() const { return m_disableCustomizing; }
    void SetDisableCustomizing(bool value) { m_disableCustomizing = value; }
    bool DisableDragging() const { return m_disableDragging; }
    void SetDisableDragging(bool value) { m_disableDragging = value; }
    TdxGridBandFixed Fixed() const { return m_fixed; }
    void SetFixed(TdxGridBandFixed value);
    int MinWidth() const { return m_minWidth; }
    void SetMinWidth(int value);
    bool OnlyOwnColumns() const { return m_onlyOwnColumns; }
    void SetOnlyOwnColumns(bool value) { m_onlyOwnColumns = value; }
    bool Sizing() const { return m_sizing; }
    void SetSizing(bool value);
    bool Visible() const { return m_visible; }
    void SetVisible(bool value);
    int Width() const { return m_width; }
    void SetWidth(int value);

private:
    void Changed();

    TdxTreeListBands& m_owner;
    int m_id;
    TAlignment m_alignment = taCenter;
    AnsiString m_caption;
    bool m_disableCustomizing = false;
    bool m_disableDragging = false;
    TdxGridBandFixed m_fixed = bfNone;
    int m_minWidth = 30;
    bool m_onlyOwnColumns = false;
    bool m_sizing = true;
    bool m_visible = true;
    int m_width = 250;
};

class TdxTreeListBands {
public:
    explicit TdxTreeListBands(TCustomdxTreeListControl& grid) : m_grid(grid) {}

    TCustomdxTreeListControl& Grid() const { return m_grid; }
    int Count() const { return static_cast<int>(m_items.size()); }
    TdxTreeListBand* Items(int index) const { return m_items.at(static_cast<std::size_t>(index)).get(); }
    TdxTreeListBand* Add();
    void Delete(int index);
    void Clear();
    int IndexOf(const TdxTreeListBand* band) const;
    void Move(int from, int to);
    TdxTreeListBand* FindByID(int id) const;
    int VisibleCount() const;
    TdxTreeListBand* VisibleItems(int index) const;
    // The first visible band when it is fixed left, the last when fixed right; else none.
    TdxTreeListBand* LeftFixedBand() const;
    TdxTreeListBand* RightFixedBand() const;

private:
    TCustomdxTreeListControl& m_grid;
    std::vector<std::unique_ptr<TdxTreeListBand>> m_items;
    int m_nextID = 0;
};
