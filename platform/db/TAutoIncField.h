// A 32-bit integer that the table numbers by itself.
#pragma once

#include "platform/db/TIntegerField.h"

class TAutoIncField : public TIntegerField {
public:
    explicit TAutoIncField(TComponent* AOwner = nullptr) : TIntegerField(AOwner, ftAutoInc) {}
};
