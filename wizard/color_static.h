// CColorStatic: a label drawn in its own colours and weight.
#pragma once
#include "../fw/controls.h"

class CColorStatic : public CStatic {
public:
    CColorStatic() {}
};
