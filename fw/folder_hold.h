// CFolderHold: the folders of a path, each checked to be a plain folder and held open while this
// program writes into them. A program with administrator rights that writes into a folder the
// user owns (the user's Start menu, the desktop) must not be sent elsewhere by a junction or
// symbolic link that one of the user's programs planted there; held, none of the checked folders
// can be renamed, removed or replaced meanwhile.
#pragma once
#include <windows.h>

class CFolderHold {
public:
    CFolderHold() : m_nCount(0) {}
    ~CFolderHold() { Release(); }

    // Checks and holds each folder of `path` (absolute, with or without a trailing backslash) from
    // the first below its root ("C:\", "\\server\share\") down to the last. False at the first that
    // is missing, not a folder, or a link to somewhere else (a junction or symbolic link; a volume
    // mounted on a folder, and a folder that a cloud or storage service keeps, count as plain).
    // Whatever was held stays held until Release.
    bool Hold(const char* path);
    // Lets every held folder go.
    void Release();

private:
    CFolderHold(const CFolderHold&);
    CFolderHold& operator=(const CFolderHold&);
    enum { kMaxLevels = 64 };
    HANDLE m_handles[kMaxLevels];
    int m_nCount;
};

// True when writing to the file `path` would reach another file as well or instead: the name is
// a junction or symbolic link, or the file has a second name (a hard link). A missing file is not.
bool IsLinkedFile(const char* path);
