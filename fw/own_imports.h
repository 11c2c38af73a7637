// Making this program's own image usable for another program that calls one of its exports.
//
// Another program can load our .exe with LoadLibrary and call an exported function. The system
// then maps the image as data with code: it binds no imports (it does so only for libraries) and
// may leave the image unrelocated at an address other than its preferred one. The first call of
// a Win32 function, or the first pointer to a string, would then lead into nowhere. An exported
// function therefore calls BindOwnImage first, which relocates the image and binds its imports
// itself when the system has not, once per process.
#pragma once

// TRUE when the image is relocated and every import is bound (at once when the system did both).
// Uses no import and no absolute address before it has fixed them; safe from several threads.
extern "C" int BindOwnImage();
