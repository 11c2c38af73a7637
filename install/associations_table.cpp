#include "associations.h"

#define OWN kIconOwn
#define P0 kIconProgram0
#define P8 kIconProgram8
#define P9 kIconProgram9

// The format groups and their extensions, in registration order: group (the row of the wizard's
// list and of the format flags), extension, type name, icon, open-with entry; a group's first
// extension also carries the group's row label and description (" *": read through a plug-in).
// Groups 0..51 are the image formats.
const ExtensionRow g_extensions[] = {
    {0, "ani", "ani", OWN, true, "ANI", "Animated Windows Cursors"},
    {1, "b3d", "b3d", P0, false, "B3D", "BodyPaint 3D Format *"},
    {2, "bmp", "bmp", P0, true, "BMP/DIB", "Windows Bitmap"}, {2, "dib", "bmp", P0, false},
    {3, "cam", "cam", P0, false, "CAM", "Casio Camera Format (JPG only) *"},
    {4, "clp", "clp", P0, true, "CLP", "Windows Clipboard"},
    {5, "crw", "crw", P0, false, "CRW/CR2", "Canon RAW Format *"}, {5, "cr2", "cr2", P0, false},
    {6, "cur", "cur", OWN, true, "CUR", "Windows Cursor"},
    {7, "dcm", "dcm", P0, false, "DCM", "DICOM/ACR Format *"}, {7, "acr", "dcm", P0, false},
    {8, "dcx", "dcx", P0, false, "DCX", "Multipage Zsoft Paintbrush"},
    {9, "dds", "dds", P0, false, "DDS", "Direct Draw Surface *"},
    {10, "djvu", "djvu", P0, false, "DJVU/IW44", "DjVu Format *"}, {10, "iw44", "djvu", P0, false},
    {11, "ecw", "ecw", P0, false, "ECW", "Enhanced Compressed Wavelet *"},
    {12, "emf", "emf", P0, true, "EMF", "Enhanced Windows Metafile"},
    {13, "eps", "eps", P0, false, "EPS", "Encapsulated PostScript (TIF only)"},
    {14, "fpx", "fpx", P0, false, "FPX", "FlashPix Format *"},
    {15, "fsh", "fsh", P0, false, "FSH", "EA Sports FSH Format *"},
    {16, "g3", "g3", P0, false, "G3", "G3 FAX Format *"},
    {17, "gif", "gif", P0, true, "GIF", "Compuserve GIF"},
    {18, "icl", "icl", OWN, false, "ICL", "Windows Icon Library"},
    {19, "ico", "ico", OWN, true, "ICO", "Windows Icon"},
    {20, "iff", "iff", P0, false, "IFF", "Amiga Interchange File Format"}, {20, "lbm", "iff", P0, false},
    {21, "img", "img", P0, false, "IMG", "GEM Raster Format *"},
    {22, "jp2", "jp2", P0, false, "JP2/JPC/J2K", "JPEG2000 Format *"}, {22, "jpc", "jp2", P0, false}, {22, "j2k", "jp2", P0, false},
    {23, "jpg", "jpg", P0, true, "JPG/JPEG/JPE", "JPEG Format"}, {23, "jpeg", "jpg", P0, true}, {23, "jpe", "jpg", P0, true},
    {24, "jpm", "jpm", P0, false, "JPM", "JPM Format *"},
    {25, "kdc", "kdc", P0, false, "KDC", "Kodak Digital Camera Format *"},
    {26, "ldf", "ldf", P0, false, "LDF", "LuraDocument Format *"},
    {27, "lwf", "lwf", P0, false, "LWF", "LuraWave Format *"},
    {28, "mng", "mng", P0, false, "MNG/JNG", "Multiple Network Graphics *"}, {28, "jng", "jng", P0, false},
    {29, "nlm", "nlm", P0, false, "NLM/NOL/NGG/GSM", "Nokia LogoManager Format *"}, {29, "nol", "nlm", P0, false}, {29, "ngg", "nlm", P0, false}, {29, "gsm", "nlm", P0, false},
    {30, "pbm", "pbm", P0, false, "PBM", "Portable Bitmap"},
    {31, "pcd", "pcd", P0, false, "PCD", "Kodak Photo CD"},
    {32, "pcx", "pcx", P0, true, "PCX", "Zsoft Paintbrush"},
    {33, "pgm", "pgm", P0, false, "PGM", "Portable Greymap"},
    {34, "png", "png", P0, true, "PNG", "Portable Network Graphics"},
    {35, "ppm", "ppm", P0, false, "PPM", "Portable Pixelmap"},
    {36, "psd", "psd", P0, false, "PSD", "Adobe Photoshop Image"},
    {37, "psp", "psp", P0, false, "PSP", "Paint Shop Pro Image *"},
    {38, "ras", "ras", P0, false, "RAS", "Sun Raster Format"}, {38, "sun", "ras", P0, false},
    {39, "raw", "raw", P0, false, "RAW", "RAW Image Data *"},
    {40, "rle", "rle", P0, false, "RLE", "Utah RLE Format *"},
    {41, "sff", "sff", P0, false, "SFF", "Structured Fax Format *"},
    {42, "sfw", "sfw", P0, false, "SFW", "Seattle Film Works Format *"},
    {43, "sgi", "sgi", P0, false, "SGI", "Silicon Graphics Image *"}, {43, "rgb", "sgi", P0, false},
    {44, "sid", "sid", P0, false, "SID", "LizardTech MrSID Format *"},
    {45, "swf", "swf", P0, false, "SWF", "Macromedia Flash Format *"},
    {46, "tga", "tga", P0, false, "TGA", "Truevision Targa"},
    {47, "tif", "tif", P0, true, "TIF/TIFF", "Tagged Image File Format"}, {47, "tiff", "tif", P0, true},
    {48, "wbmp", "wbmp", P0, false, "WMBP", "WAP Bitmap *"},
    {49, "wmf", "wmf", P0, true, "WMF", "Windows Metafile"},
    {50, "xbm", "xbm", P0, false, "XBM", "X-Bitmap *"},
    {51, "xpm", "xpm", P0, false, "XPM", "X-Pixmap *"},
    {52, "ttf", "ttf", P0, false, "TTF", "True Type Font Format *"},
    {53, "asf", "asf", P9, true, "ASF", "Advanced Systems Format *"},
    {54, "avi", "avi", P9, true, "AVI", "Video for Windows *"},
    {55, "mpg", "mpg", P9, true, "MPG/MPE/MPEG", "MPEG Movie *"}, {55, "mpe", "mpe", P9, true}, {55, "mpeg", "mpg", P9, true},
    {56, "mov", "mov", P9, false, "MOV", "Apple QuickTime Movie *"},
    {57, "wmv", "wmv", P9, true, "WMV", "Windows Media Video File *"},
    {58, "aif", "aif", P8, true, "AIF", "Audio Interchange Format *"},
    {59, "mid", "mid", P8, true, "MID/RMI", "MIDI Sound Format *"}, {59, "rmi", "rmi", P8, true},
    {60, "med", "med", P8, false, "MED", "MED/OctaMED Audio Format *"},
    {61, "mp3", "mp3", P8, true, "MP3", "MPEG Audio Format *"},
    {62, "ogg", "ogg", P8, true, "OGG", "Ogg Vorbis Audio Format *"},
    {63, "ra", "ra", P8, false, "RA", "Real Audio Format *"},
    {64, "au", "au", P8, true, "AU/SND", "SUN Audio Format *"}, {64, "snd", "au", P8, true},
    {65, "wav", "wav", P8, true, "WAV", "Windows Audio Format *"},
    {66, "wma", "wma", P8, true, "WMA", "Windows Media Audio File *"},
};

const int g_extensionCount = sizeof g_extensions / sizeof g_extensions[0];

const ExtensionRow* FormatGroupRow(int group)
{
    for (int i = 0; i < g_extensionCount; ++i)
        if (g_extensions[i].group == group) return &g_extensions[i];
    return &g_extensions[0];
}
