// CWebLinkStatic: a static text that acts as a web link.
#pragma once
#include "../fw/controls.h"

class CWebLinkStatic : public CStatic {
public:
    CWebLinkStatic() {}
};
