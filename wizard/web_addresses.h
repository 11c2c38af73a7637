// Web addresses that the wizard opens. The hosts are ours to choose; the paths are fixed.
#pragma once

// The product's FAQ page, opened on every finish.
#define kFaqAddress "http://www.pixmora.de/faq.htm"
