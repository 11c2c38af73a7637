#include "web_link_static.h"
#include <shellapi.h>
#include <string.h>
#include "fw/command_text.h"
#include "fw/high_contrast.h"
#include "fw/registry.h"
#include "fw/shell_open.h"
#include "accessible.h"
#include "open_link.h"

CWebLinkStatic::CWebLinkStatic()
    : m_crLink(RGB(0, 0, 238)),
      m_crVisited(RGB(85, 26, 139)),
      m_crHover(RGB(255, 0, 0)),
      m_bHovered(FALSE),
      m_bVisited(FALSE),
      m_nUnderline(-1),
      m_bFitToText(TRUE),
      m_hLinkCursor(NULL),
      m_nTimerId(100)
{
}

CWebLinkStatic::~CWebLinkStatic()
{
    if (m_hLinkCursor) DestroyCursor(m_hLinkCursor);
}

void CWebLinkStatic::SetLinkTarget(const char* target)
{
    m_target = target;
    if (m_hWnd) FitToText();
}

void CWebLinkStatic::SetUnderlineMode(int mode)
{
    if (mode == m_nUnderline) return;
    if (m_hWnd) {
        SetFont(mode == 1 ? (HFONT)m_fontUnderline : (HFONT)m_fontStandard, TRUE);
        Invalidate(TRUE);
    }
    m_nUnderline = mode;
}

void CWebLinkStatic::MarkVisited(BOOL visited)
{
    m_bVisited = visited;
    if (m_hWnd) Invalidate(TRUE);
}

BOOL CWebLinkStatic::DestroyWindow()
{
    KillTimer(m_hWnd, m_nTimerId);
    return CStatic::DestroyWindow();
}

// The hand cursor among the resources of the system's help program.
static const WORD kHelpHandCursor = 106;

void CWebLinkStatic::LoadLinkCursor()
{
    if (m_hLinkCursor) return;
    char path[MAX_PATH + 16];
    UINT n = GetWindowsDirectoryA(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    lstrcatA(path, "\\winhlp32.exe");
    HMODULE module = LoadLibraryA(path);
    if (!module) return;
    HCURSOR cursor = LoadCursorA(module, MAKEINTRESOURCEA(kHelpHandCursor));
    if (cursor) m_hLinkCursor = (HCURSOR)CopyIcon((HICON)cursor);
    FreeLibrary(module);
}

void CWebLinkStatic::PreSubclassWindow()
{
    // A link is reached by Tab like a button, so that it can be opened without a mouse.
    SetWindowLongA(m_hWnd, GWL_STYLE, GetStyle() | SS_NOTIFY | WS_TABSTOP);
    CString text;
    int length = GetWindowTextLengthA(m_hWnd);
    GetWindowText(text.GetBuffer(length), length + 1);
    if (m_target.IsEmpty()) m_target = text;
    if (text.IsEmpty()) SetWindowText(m_target);

    LOGFONTA lf;
    GetLogFont(&lf);
    m_fontStandard.CreateFontIndirect(&lf);
    lf.lfUnderline = 1;
    m_fontUnderline.CreateFontIndirect(&lf);

    FitToText();
    LoadLinkCursor();
    SetUnderlineMode(-1);
    CStatic::PreSubclassWindow();
}

void CWebLinkStatic::FitToText()
{
    if (!m_hWnd || !m_bFitToText) return;
    RECT window, client;
    GetWindowRect(&window);
    GetClientRect(&client);
    MapWindowPoints(m_hWnd, NULL, (POINT*)&client, 2);
    HWND parent = GetParent(m_hWnd);
    if (parent) {
        MapWindowPoints(NULL, parent, (POINT*)&window, 2);
        MapWindowPoints(NULL, parent, (POINT*)&client, 2);
    }
    CString text;
    int len = GetWindowTextLengthA(m_hWnd);
    len = GetWindowText(text.GetBuffer(len), len + 1);
    HDC dc = GetDC(m_hWnd);
    HGDIOBJ old = SelectObject(dc, (HFONT)m_fontUnderline);
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(dc, text, len, &extent);
    SelectObject(dc, old);
    ReleaseDC(m_hWnd, dc);

    int width = extent.cx + ((window.right - window.left) - (client.right - client.left));
    int height = extent.cy + ((window.bottom - window.top) - (client.bottom - client.top));
    LONG style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        int d = ((window.bottom - window.top) - height) / 2;
        window.top += d;
        window.bottom -= d;
    } else {
        window.bottom = window.top + height;
    }
    if (style & SS_CENTER) {
        int d = ((window.right - window.left) - width) / 2;
        window.left += d;
        window.right -= d;
    } else if (style & SS_RIGHT) {
        window.left = window.right - width;
    } else {
        window.right = window.left + width;
    }
    SetWindowPos(m_hWnd, NULL, window.left, window.top, window.right - window.left, window.bottom - window.top,
                 SWP_NOZORDER);
}

INT_PTR CWebLinkStatic::OpenLink(const char* target, int showCommand)
{
    INT_PTR result = ShellOpenAsUser(target, NULL, showCommand, NULL);
    if ((UINT_PTR)result > 32) return result;

    // The browser that opens ".htm" files. The classes merge in the user's own, which any program
    // of the user can write: an elevated setup takes the machine's only.
    HKEY root = HKEY_CLASSES_ROOT;
    const char* classes = "";
    if (IsElevatedProcess()) {
        root = HKEY_LOCAL_MACHINE;
        classes = "Software\\Classes\\";
    }
    char value[MAX_PATH], key[MAX_PATH + 40];
    wsprintfA(key, "%s.htm", classes);
    if (ReadRegistryText(root, key, NULL, KEY_QUERY_VALUE, value, sizeof value) != ERROR_SUCCESS) return result;
    wsprintfA(key, "%s%s\\shell\\open\\command", classes, value);
    if (ReadRegistryPath(root, key, NULL, KEY_QUERY_VALUE, value, sizeof value) != ERROR_SUCCESS) return result;

    // A target that does not fit beside the browser command is not run; the click fails.
    char command[kLinkCommandSize], program[kLinkCommandSize];
    if (!BuildLinkCommand(value, target, command, sizeof command)) return result;
    const char* arguments = SplitCommandProgram(command, program, sizeof program);
    if (!arguments) return result;
    return ShellOpenAsUser(program, arguments, showCommand, NULL);
}

BOOL CWebLinkStatic::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result)
{
    if (msg == WM_CTLCOLORSTATIC) {
        HDC dc = (HDC)wp;
        // A high-contrast scheme names its own colour for links.
        SetTextColor(dc, HighContrastOn() ? GetSysColor(COLOR_HOTLIGHT)
                         : m_bHovered     ? m_crHover
                         : m_bVisited     ? m_crVisited
                                          : m_crLink);
        SetBkMode(dc, TRANSPARENT);
        *result = (LRESULT)GetStockObject(NULL_BRUSH);
        return TRUE;
    }
    if (msg == WM_COMMAND && HIWORD(wp) == STN_CLICKED) {
        Open();
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

void CWebLinkStatic::Open()
{
    m_bHovered = FALSE;
    INT_PTR r = OpenLink(m_target, SW_SHOW);
    m_bVisited = r > 32;
    if (m_bVisited)
        MarkVisited(TRUE);
    else
        MessageBeep(MB_ICONEXCLAMATION);
}

LRESULT CWebLinkStatic::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!m_bHovered) {
            m_bHovered = TRUE;
            if (m_nUnderline == -1) SetFont(m_fontUnderline, TRUE);
            Invalidate(TRUE);
            SetTimer(m_hWnd, m_nTimerId, 100, NULL);
        }
        break;
    case WM_TIMER: {
        DWORD pos = GetMessagePos();
        POINT pt = {(short)LOWORD(pos), (short)HIWORD(pos)};
        ScreenToClient(m_hWnd, &pt);
        RECT rc;
        GetClientRect(&rc);
        if (!PtInRect(&rc, pt)) {
            m_bHovered = FALSE;
            KillTimer(m_hWnd, m_nTimerId);
            if (m_nUnderline != 1) SetFont(m_fontStandard, TRUE);
            rc.bottom += 10;
            InvalidateRect(m_hWnd, &rc, TRUE);
        }
        break;
    }
    case WM_SETCURSOR:
        if (!m_hLinkCursor) return FALSE;
        SetCursor(m_hLinkCursor);
        return TRUE;
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(&rc);
        FillRect((HDC)wp, &rc, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    // The keyboard: Enter and Space open the link that has the focus, as a click would; without
    // asking for them the dialog would take Enter for its default button.
    case WM_GETDLGCODE: {
        const MSG* m = (const MSG*)lp;
        if (m && m->message == WM_KEYDOWN && (m->wParam == VK_RETURN || m->wParam == VK_SPACE))
            return DLGC_WANTMESSAGE;
        return CStatic::WindowProc(msg, wp, lp);
    }
    case WM_KEYDOWN:
        if (wp == VK_RETURN || wp == VK_SPACE) {
            if (!(lp & 0x40000000)) Open();  // not again while the key repeats
            return 0;
        }
        break;
    case kLinkOpenMessage:
        Open();
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: {
        LRESULT r = CStatic::WindowProc(msg, wp, lp);
        Invalidate(TRUE);
        return r;
    }
    case WM_PAINT: {
        // The focus rectangle around the text, unless the window hides it until the keyboard is
        // used.
        LRESULT r = CStatic::WindowProc(msg, wp, lp);
        if (GetFocus() == m_hWnd && !(SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS)) {
            RECT rc;
            GetClientRect(&rc);
            HDC dc = GetDC(m_hWnd);
            DrawFocusRect(dc, &rc);
            ReleaseDC(m_hWnd, dc);
        }
        return r;
    }
    // A screen reader learns that this is a link and how to open it.
    case WM_GETOBJECT:
        if (LRESULT r = AnswerAccessibleObject(m_hWnd, wp, lp, kAccessibleLink)) return r;
        break;
    }
    return CStatic::WindowProc(msg, wp, lp);
}
