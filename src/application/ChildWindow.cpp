// The picture window: load, compose, show, drag.
#include "application/ChildWindow.h"

#include <cstdio>
#include <string>

#include "application/ParentWindow.h"
#include "application/PictureLoading.h"
#include "lib/winapi/Diagnostics.h"
#include "lib/winapi/PendingException.h"

namespace {

const char kTitle[] = "no title";
const DWORD kStyle = WS_POPUP | WS_CHILD;  // a top-level window owned by the owner window
const char kLoadFailureFormat[] = "%sの読み込みに失敗しました";
const char kLoadFailureCaption[] = "load error";

// The drag, shared by every picture: one at a time, since the mouse
// capture sends its messages to one window.
bool dragging = false;
POINT dragLastPos = {0, 0};
POINT dragCursorPos = {0, 0};

// The failure message for the path, cut after its last whole character
// that fits the 255 characters of a message buffer, so that a cut never
// leaves half of a double-byte character behind.
std::string loadFailureMessage(const char* path) {
  int length = std::snprintf(NULL, 0, kLoadFailureFormat, path);
  std::string full(static_cast<std::size_t>(length > 0 ? length : 0) + 1, '\0');
  std::snprintf(&full[0], full.size(), kLoadFailureFormat, path);
  const char* start = full.c_str();
  const char* end = start;
  for (const char* next = CharNextA(end); next != end && next - start <= 255; next = CharNextA(end)) {
    end = next;
  }
  return std::string(start, end);
}

void startDrag(HWND window) {
  dragging = true;
  GetCursorPos(&dragLastPos);
  lib::winapi::rethrowPendingExceptionAfter(SetCapture(window));
  lib::winapi::rethrowPendingExceptionAfter(SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE));
}

// The layer moves with the window; nothing is drawn again.
void stepDrag(HWND window) {
  GetCursorPos(&dragCursorPos);
  RECT windowRect;
  GetWindowRect(window, &windowRect);
  int x = windowRect.left + (dragCursorPos.x - dragLastPos.x);
  int y = windowRect.top + (dragCursorPos.y - dragLastPos.y);
  RECT clientRect;
  GetClientRect(window, &clientRect);
  lib::winapi::rethrowPendingExceptionAfter(MoveWindow(window, x, y, clientRect.right, clientRect.bottom, TRUE));
  dragLastPos = dragCursorPos;
}

void endDrag() {
  dragging = false;
  lib::winapi::rethrowPendingExceptionAfter(ReleaseCapture());
}

}  // namespace

ChildWindow::ChildWindow(HWND owner, const char* className, const char* path, int x, int y,
                         std::optional<int> width, std::optional<int> height, std::uint32_t color)
    : BaseWindow(childWindowProc, NULL, className, kTitle, kStyle, x, y, width.value_or(0), height.value_or(0), owner,
                 GetModuleHandleA(NULL)),
      pBitmap_(NULL) {
  pBitmap_ = loadPicture(path);
  if (pBitmap_->GetLastStatus() != Gdiplus::Ok) {
    reportLoadFailure(path);
    return;
  }
  if (!width || !height) {
    RECT rect;
    GetWindowRect(hWnd_, &rect);
    width = width.value_or(static_cast<int>(pBitmap_->GetWidth()));
    height = height.value_or(static_cast<int>(pBitmap_->GetHeight()));
    lib::winapi::rethrowPendingExceptionAfter(MoveWindow(hWnd_, rect.left, rect.top, *width, *height, FALSE));
  }
  if (*width <= 0 || *height <= 0) {
    lib::winapi::debugPrint("%s: a picture of %d x %d pixels is not shown\n", className, *width, *height);
    return;
  }
  render(color);
  lib::winapi::rethrowPendingExceptionAfter(ShowWindow(hWnd_, SW_SHOWNORMAL));
}

// The window is gone already (the unload destroys it first); the class goes
// with the BaseWindow part.
ChildWindow::~ChildWindow() {
  delete pBitmap_;
  pBitmap_ = NULL;
}

// The box is modal to the picture's own hidden window only, so the tray
// and the pictures made so far stay live while it is open. The path goes
// in as a value, so a percent sign in it shows as written.
void ChildWindow::reportLoadFailure(const char* path) {
  std::string message = loadFailureMessage(path != NULL ? path : "");
  lib::winapi::messageBoxPrint(hWnd_, MB_OK | MB_ICONEXCLAMATION, kLoadFailureCaption, "%s", message.c_str());
}

void ChildWindow::render(std::uint32_t color) {
  RECT clientRect;
  GetClientRect(hWnd_, &clientRect);
  int width = clientRect.right;
  int height = clientRect.bottom;
  RECT windowRect;
  GetWindowRect(hWnd_, &windowRect);

  // A bottom-up 32-bit surface, all transparent black.
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  VOID* bits = NULL;
  HBITMAP surface = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
  if (surface == NULL) {
    lib::winapi::debugPrint("%s: no surface of %d x %d pixels could be made\n", lpClassName_, width, height);
    return;
  }

  HDC windowDC = GetDC(hWnd_);
  HDC memoryDC = CreateCompatibleDC(windowDC);
  HGDIOBJ keptBitmap = SelectObject(memoryDC, surface);
  BYTE alpha = static_cast<BYTE>(color >> 24);

  if (pBitmap_ != NULL) {
    Gdiplus::Graphics* graphics = new Gdiplus::Graphics(memoryDC);
    Gdiplus::ColorMatrix matrix = {};
    matrix.m[0][0] = static_cast<Gdiplus::REAL>((color >> 16) & 0xFF) / 255.0f;
    matrix.m[1][1] = static_cast<Gdiplus::REAL>((color >> 8) & 0xFF) / 255.0f;
    matrix.m[2][2] = static_cast<Gdiplus::REAL>(color & 0xFF) / 255.0f;
    matrix.m[3][3] = 1.0f;
    matrix.m[4][4] = 1.0f;
    Gdiplus::ImageAttributes* attributes = new Gdiplus::ImageAttributes();
    attributes->SetColorMatrix(&matrix, Gdiplus::ColorMatrixFlagsDefault, Gdiplus::ColorAdjustTypeDefault);
    INT pictureWidth = static_cast<INT>(pBitmap_->GetWidth());
    INT pictureHeight = static_cast<INT>(pBitmap_->GetHeight());
    graphics->DrawImage(pBitmap_, Gdiplus::Rect(0, 0, width, height), 0, 0, pictureWidth, pictureHeight,
                        Gdiplus::UnitPixel, attributes);
    delete attributes;
    delete graphics;
  }

  BitBlt(windowDC, 0, 0, width, height, memoryDC, 0, 0, SRCCOPY | CAPTUREBLT);

  HDC screenDC = GetDC(NULL);
  POINT position = {windowRect.left, windowRect.top};
  SIZE size = {width, height};
  POINT sourcePosition = {0, 0};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  if (!UpdateLayeredWindow(hWnd_, screenDC, &position, &size, memoryDC, &sourcePosition, 0, &blend, ULW_ALPHA)) {
    lib::winapi::debugPrint("◆error\n");
  }

  SelectObject(memoryDC, keptBitmap);
  DeleteDC(memoryDC);
  ReleaseDC(hWnd_, windowDC);
  ReleaseDC(NULL, screenDC);
  DeleteObject(surface);
}

LRESULT CALLBACK ChildWindow::childWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return lib::winapi::guardWindowProcedure([&]() -> LRESULT {
    switch (message) {
      case WM_PAINT:
        lib::winapi::debugPrint("WM_PAINT\n");
        break;
      case WM_CLOSE:
        return 0;  // a picture cannot be closed by the user
      case WM_MOUSEMOVE:
        if (dragging) {
          lib::winapi::debugPrint("WM_MOUSEMOVE\n");
          stepDrag(window);
        }
        break;
      case WM_LBUTTONDOWN:
        if (!dragging) {
          lib::winapi::debugPrint("WM_LBUTTONDOWN\n");
          startDrag(window);
        }
        break;
      case WM_LBUTTONUP:
        if (dragging) {
          lib::winapi::debugPrint("WM_LBUTTONUP\n");
          endDrag();
        }
        break;
      case WM_RBUTTONDOWN:
        ParentWindow::getInstance()->showLauncherMenu();
        break;
      case WM_CAPTURECHANGED:
        // A drag that lost the mouse (another window took it, the user
        // switched away) ends; the picture must not follow a released mouse.
        dragging = false;
        break;
      case WM_DESTROY:
        // A picture taken away in the middle of its drag (a Reload chosen
        // while the button was held) takes the drag with it, or the next
        // picture under the mouse would follow it with no button held.
        if (GetCapture() == window) {
          dragging = false;
        }
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  });
}
