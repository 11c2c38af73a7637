// Web addresses that the wizard opens. The hosts are ours to choose; the paths are fixed.
#pragma once

// The product's FAQ page, opened on every finish.
#define kFaqAddress "http://www.pixmora.de/faq.htm"

// The partner's pages: one host for the toolbar links, one each for the desktop-search
// terms and privacy policy.
#define kToolbarHost "http://toolbar.partner.example"
#define kDesktopTermsHost "http://desktop.partner.example"
#define kDesktopPrivacyHost "http://www.partner.example"

#define kToolbarTerms kToolbarHost "/support/toolbar/bin/static.py?page=terms.html&hl=de"
#define kToolbarPrivacy9x kToolbarHost "/support/toolbar/?quick=privacy&v=3.0&hl=de"
#define kToolbarPrivacy kToolbarHost "/support/toolbar/?quick=privacy&v=4.0&hl=de"
#define kDesktopTerms kDesktopTermsHost "/de/eula.html"
#define kDesktopPrivacy kDesktopPrivacyHost "/privacypolicy.html"
