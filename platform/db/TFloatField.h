// A floating-point number field.
#pragma once

#include "platform/db/TField.h"

class TFloatField : public TField {
public:
    explicit TFloatField(TComponent* AOwner = nullptr) : TField(AOwner, ftFloat, 0, taRightJustify) {}
};
