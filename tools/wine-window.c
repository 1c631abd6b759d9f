/* Reads windows for the end-to-end check under Wine (tools/windows-e2e.sh), as Windows itself
 * reports them, with the coordinates of a DPI-aware program (device pixels):
 *   wine-window.exe frame CAPTION   "frame L T R B" (GetWindowRect) and "workarea L T R B" (the
 *                                   primary monitor's work area) of the visible top-level window
 *                                   whose caption begins with CAPTION
 *   wine-window.exe texts CAPTION   that window's caption and the text of every visible control
 *                                   in it, one per line, in UTF-8 (a message box, an installer page)
 * Exit status: 0 done; 1 no such window within 20 s; 2 wrong arguments. */
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

struct search {
    const wchar_t *caption;
    HWND found;
};

static void print_utf8(const wchar_t *text)
{
    char bytes[8192];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
    if (n > 0)
        printf("%s\n", bytes);
}

static BOOL CALLBACK find_window(HWND window, LPARAM data)
{
    struct search *search = (struct search *)data;
    wchar_t caption[512];
    if (!IsWindowVisible(window) || !GetWindowTextW(window, caption, 512))
        return TRUE;
    if (wcsncmp(caption, search->caption, wcslen(search->caption)) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

static BOOL CALLBACK print_control(HWND control, LPARAM unused)
{
    (void)unused;
    static wchar_t text[2048];
    if (IsWindowVisible(control) && GetWindowTextW(control, text, 2048))
        print_utf8(text);
    return TRUE;
}

static void print_rect(const char *name, RECT rect)
{
    printf("%s %ld %ld %ld %ld\n", name, rect.left, rect.top, rect.right, rect.bottom);
}

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3)
        return 2;
    SetProcessDPIAware();
    struct search search = {argv[2], NULL};
    const DWORD deadline = GetTickCount() + 20000;
    while (EnumWindows(find_window, (LPARAM)&search), !search.found) {
        if ((LONG)(GetTickCount() - deadline) > 0)
            return 1;
        Sleep(100);
    }
    if (wcscmp(argv[1], L"frame") == 0) {
        RECT frame;
        MONITORINFO monitor = {sizeof monitor};
        GetWindowRect(search.found, &frame);
        GetMonitorInfoW(MonitorFromPoint((POINT){0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
        print_rect("frame", frame);
        print_rect("workarea", monitor.rcWork);
    } else if (wcscmp(argv[1], L"texts") == 0) {
        wchar_t caption[512];
        GetWindowTextW(search.found, caption, 512);
        print_utf8(caption);
        EnumChildWindows(search.found, print_control, 0);
    } else {
        return 2;
    }
    return 0;
}
