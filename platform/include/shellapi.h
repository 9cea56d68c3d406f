// The shell32 calls the program uses: the command line, the notification
// area (tray) icons.
#pragma once

#include <windows.h>

typedef struct _GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
} GUID;

// The Windows Vista layout of the record; older programs pass a smaller
// cbSize and the fields before it.
typedef struct _NOTIFYICONDATAA {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[128];
  DWORD dwState;
  DWORD dwStateMask;
  CHAR szInfo[256];
  union {
    UINT uTimeout;
    UINT uVersion;
  };
  CHAR szInfoTitle[64];
  DWORD dwInfoFlags;
  GUID guidItem;
  HICON hBalloonIcon;
} NOTIFYICONDATAA, *PNOTIFYICONDATAA;

#define NIM_ADD 0x00000000
#define NIM_MODIFY 0x00000001
#define NIM_DELETE 0x00000002
#define NIF_MESSAGE 0x00000001
#define NIF_ICON 0x00000002
#define NIF_TIP 0x00000004

extern "C" {
LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR commandLine, int* argumentCount);
BOOL WINAPI Shell_NotifyIconA(DWORD message, PNOTIFYICONDATAA data);
HINSTANCE WINAPI ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                               INT showCommand);
}

#define NOTIFYICONDATA NOTIFYICONDATAA
#define Shell_NotifyIcon Shell_NotifyIconA
#define ShellExecute ShellExecuteA

// What ShellExecuteA gives when no program is associated with the file.
#define SE_ERR_NOASSOC 31
