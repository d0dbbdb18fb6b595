// The tie between a data-aware control and a dataset, through a data source.
//
// The link sees its own part of the dataset's record window: BufferCount
// records at most (the dataset keeps as many as its largest link asks for),
// RecordCount of them filled (fewer only when the table holds fewer), and
// ActiveRecord, the current record's place among them. The dataset calls the
// virtual notifications below synchronously, inside the operation that
// caused them.
#pragma once

#include "platform/classes/TObject.h"
#include "platform/db/DBTypes.h"

#include <cstdint>

class TDataSet;
class TDataSource;
class TField;

class TDataLink : public TObject {
public:
    TDataLink() = default;
    ~TDataLink() override;

    TDataSource* DataSource() const { return m_dataSource; }
    void SetDataSource(TDataSource* value);
    TDataSet* DataSet() const;
    // Linked to an open dataset.
    bool Active() const { return m_active; }

    int BufferCount() const { return m_bufferCount; }
    void SetBufferCount(int value);
    int RecordCount() const;
    int ActiveRecord() const;
    // Makes record `value` of the link's window the one fields read, for a
    // moment; it moves no cursor and notifies nobody.
    void SetActiveRecord(int value);
    int MoveBy(int distance);

protected:
    virtual void ActiveChanged() {}
    // By default a changed data set is a changed record.
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    // The link's window moved Distance records towards the end (negative: the beginning).
    virtual void DataSetScrolled(int Distance) { (void)Distance; }
    virtual void RecordChanged(TField* Field) { (void)Field; }
    // By default a changed layout is a changed data set.
    virtual void LayoutChanged() { DataSetChanged(); }
    // A link that gives the field's control the focus clears Field, so that
    // no other link tries.
    virtual void FocusControl(TField*& Field) { (void)Field; }
    virtual void UpdateData() {}
    virtual void CheckBrowseMode() {}
    virtual void EditingChanged() {}

private:
    friend class TDataSource;
    friend class TDataSet;
    void data_event(TDataEvent event, std::intptr_t info);
    void update_state();
    void update_range();

    TDataSource* m_dataSource = nullptr;
    bool m_active = false;
    int m_bufferCount = 1;
    int m_first = 0;  // the link's first record within the dataset's window
};
