// The plain push button: a caption on a raised face.
#pragma once

#include "platform/forms/TButtonControl.h"

class TButton : public TButtonControl {
public:
    using TButtonControl::TButtonControl;
};
