// A 32-bit integer field.
#pragma once

#include "platform/db/TField.h"

class TIntegerField : public TField {
public:
    explicit TIntegerField(TComponent* AOwner = nullptr) : TIntegerField(AOwner, ftInteger) {}

protected:
    TIntegerField(TComponent* AOwner, TFieldType type) : TField(AOwner, type, 0, taRightJustify) {}
    // "-2147483648" fits.
    int DefaultWidth() const override { return 11; }
};
