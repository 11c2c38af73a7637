// Pictures for the display scale. A dialog's bitmap statics show the version of their picture made
// for the window's DPI: the picture's id plus 1000 for 120 DPI, 2000 for 144 DPI, 3000 for 192 DPI
// (res/resource.h), or the largest smaller version that fits the control as the dialog laid it out
// at that DPI, so that a picture never covers its neighbours. The larger versions are carried packed
// (resource type kPackedPictureType, see packed_resource.h): they are most of the pictures' bytes
// and downloaded with every copy, though only a high display scale shows them.
#pragma once
#include <windows.h>

const char kPackedPictureType[] = "PXBITMAP";

// Larger version `id` of a picture, unpacked into a bitmap in the screen's format; NULL when it is
// missing or damaged.
HBITMAP LoadScaledPicture(HINSTANCE module, UINT id);

// The window's DPI: its monitor's where the system knows per-monitor DPI, else the system's.
UINT WindowDpi(HWND hwnd);

// Chooses the picture of every bitmap static of `dialog`, made from template `templateId` of the
// program's resources, for the window's present DPI; again after a DPI change.
void ChooseScaledPictures(HWND dialog, UINT templateId);

// Deletes the pictures ChooseScaledPictures set (when the dialog is destroyed).
void ReleaseScaledPictures(HWND dialog);
