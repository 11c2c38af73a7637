// The setup's application object: chooses between the silent run and the wizard.
#pragma once
#include "fw/winapp.h"

class CSetupApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
