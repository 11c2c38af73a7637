// The three download mirrors of the partner installers, in the order of their index. Each is
// "http://", a host of ours and the path "/google/".
#pragma once

static const char* const kMirrorUrls[3] = {
    "http://mirror1.pixmora.de/google/",
    "http://mirror2.pixmora.de/google/",
    "http://mirror3.pixmora.de/google/",
};
