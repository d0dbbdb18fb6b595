// Connects data links to a dataset; several links may share one source.
#pragma once

#include "platform/classes/TComponent.h"
#include "platform/db/DBTypes.h"

#include <cstdint>
#include <vector>

class TDataLink;
class TDataSet;

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* AOwner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return m_dataSet; }
    void SetDataSet(TDataSet* value);
    TDataSetState State() const;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TDataLink;
    friend class TDataSet;
    void data_event(TDataEvent event, std::intptr_t info);
    void update_links();

    TDataSet* m_dataSet = nullptr;
    std::vector<TDataLink*> m_links;
};
