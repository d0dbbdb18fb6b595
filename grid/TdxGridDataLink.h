// The grid's data link: it hands the dataset's notifications to its grid and
// keeps the field map (the index of each bound column's field in the
// dataset's field list, -1 when the dataset has no such field).
#pragma once

#include "platform/db/TDataLink.h"

#include <vector>

class TCustomdxDBTreeListControl;

class TdxDBTreeListControlDataLink : public TDataLink {
public:
    explicit TdxDBTreeListControlDataLink(TCustomdxDBTreeListControl& grid);

    TCustomdxDBTreeListControl& Grid() const { return m_grid; }
    bool VisualControl() const { return true; }
    bool Modified() const { return m_modified; }
    void Modified(bool value) { m_modified = value; }
    const std::vector<int>& FieldMap() const { return m_fieldMap; }
    void ClearMapping() { m_fieldMap.clear(); }
    void AddMapping(int fieldIndex);

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int Distance) override;
    void RecordChanged(TField* Field) override;
    void LayoutChanged() override;
    void FocusControl(TField*& Field) override;
    void UpdateData() override {}
    void CheckBrowseMode() override {}

private:
    TCustomdxDBTreeListControl& m_grid;
    bool m_modified = false;
    std::vector<int> m_fieldMap;
};

class TdxGridDataLink : public TdxDBTreeListControlDataLink {
public:
    using TdxDBTreeListControlDataLink::TdxDBTreeListControlDataLink;
};
