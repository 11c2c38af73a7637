// The three download mirrors of the partner installers, in the order of their index (each is
// "http://", a host of ours and the path "/google/"), and whose signature each partner's
// installer must carry: the subject's common name of its signer certificate.
#pragma once

static const char* const kMirrorUrls[3] = {
    "http://mirror1.pixmora.de/google/",
    "http://mirror2.pixmora.de/google/",
    "http://mirror3.pixmora.de/google/",
};

enum { kToolbarPartner, kDesktopPartner };
static const char* const kPartnerPublishers[2] = {
    "Google Inc",  // toolbar
    "Google Inc",  // desktop search
};
