// A text field of at most Size characters (CP1251).
#pragma once

#include "platform/db/TField.h"

class TStringField : public TField {
public:
    explicit TStringField(TComponent* AOwner = nullptr) : TField(AOwner, ftString, 20, taLeftJustify) {}

protected:
    int DefaultWidth() const override { return Size(); }
};
