// The DB grid's lookup column: the city and street names of the directory grid.
#pragma once

#include "grid/TdxDBTreeListLookupColumn.h"

class TdxDBGridLookupColumn : public TdxDBTreeListLookupColumn {
public:
    using TdxDBTreeListLookupColumn::TdxDBTreeListLookupColumn;
};
