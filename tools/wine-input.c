/* Typing for the end-to-end check under Wine (tools/windows-e2e.sh). xdotool cannot type Chinese
 * into Wine: Wine keeps the key map it read at start, so every character bound to xdotool's spare
 * key comes out as the first one. This program types the way on-screen keyboards do on Windows:
 * each UTF-16 unit as a Unicode key press (SendInput, KEYEVENTF_UNICODE), which reaches the
 * focused control as WM_CHAR.
 *   wine-input.exe CAPTION        waits until the foreground window's caption begins with CAPTION
 *   wine-input.exe CAPTION TEXT   the same, then types TEXT into it
 * Exit status: 0 done; 1 the window was not in the foreground within 20 s (its caption is
 * printed); 2 wrong arguments; 3 the input was refused. The characters are queued in order
 * with keys sent through X afterwards: both go to the same input queue of the Wine server. */
#include <windows.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

static void print_utf8(const char *prefix, const wchar_t *text)
{
    char bytes[1024];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
    printf("%s%s\n", prefix, n > 0 ? bytes : "");
}

static int foreground_is(const wchar_t *caption, wchar_t *seen, int size)
{
    HWND window = GetForegroundWindow();
    seen[0] = 0;
    if (window)
        GetWindowTextW(window, seen, size);
    return wcsncmp(seen, caption, wcslen(caption)) == 0;
}

int wmain(int argc, wchar_t **argv)
{
    if (argc < 2 || argc > 3)
        return 2;
    wchar_t seen[512];
    const DWORD deadline = GetTickCount() + 20000;
    while (!foreground_is(argv[1], seen, 512)) {
        if ((LONG)(GetTickCount() - deadline) > 0) {
            print_utf8("wine-input: the foreground window is ", seen[0] ? seen : L"(none)");
            return 1;
        }
        Sleep(100);
    }
    if (argc == 2)
        return 0;
    for (const wchar_t *c = argv[2]; *c; ++c) {
        INPUT press[2];
        memset(press, 0, sizeof press);
        press[0].type = INPUT_KEYBOARD;
        press[0].ki.wScan = *c;
        press[0].ki.dwFlags = KEYEVENTF_UNICODE;
        press[1] = press[0];
        press[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        if (SendInput(2, press, sizeof(INPUT)) != 2)
            return 3;
    }
    return 0;
}
