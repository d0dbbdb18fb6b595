// A 16-bit integer field.
#pragma once

#include "platform/db/TIntegerField.h"

class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(TComponent* AOwner = nullptr) : TIntegerField(AOwner, ftSmallint) {}

protected:
    int DefaultWidth() const override { return 6; }
};
