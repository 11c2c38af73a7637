// What the wizard's pages gather, and what the installation leaves for the finish page. Each
// page stores its part when the user leaves it and reads only this, never another page.
#pragma once
#include "install/install_options.h"
#include "install/install_result.h"

// The partner offer made on this machine: it picks the offer page's template, or none.
enum OfferKind { kOfferNone, kOfferToolbar, kOfferDesktop, kOfferBoth };

struct WizardModel {
    InstallOptions options;
    OfferKind offer;
    // The installation ran to its end (the process then exits with its outcome's code, not 1).
    bool bInstalled;
    InstallOutcome outcome;
    // Accepted on the offer page and its installer obtained: the finish page tells of it.
    bool bToolbarInstalled;
    bool bDesktopInstalled;
    bool bStartViewer;  // the finish page's choice
};
