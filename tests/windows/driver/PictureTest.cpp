// The pictures as another program sees them: their windows, their pixels on
// the composed desktop, the box for a picture that cannot be read, and the
// mouse on them.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "ScreenCapture.h"
#include "TessalineTest.h"

namespace {

// This file is compiled with -fexec-charset=CP932, like the program.
const char kPictureFailureCaption[] = "load error";
const char kPictureFailureText[] = "missing.pngの読み込みに失敗しました";

// The composed screen goes through xcompmgr's blending and rounding.
const int kColorTolerance = 12;

struct Placement {
  int x;
  int y;
  int width;
  int height;
};

std::string imageElement(const Placement& place, const char* color, const char* path) {
  char element[256];
  std::snprintf(element, sizeof element, "  <image x=\"%d\" y=\"%d\" w=\"%d\" h=\"%d\" color=\"%s\" path=\"%s\"/>\n",
                place.x, place.y, place.width, place.height, color, path);
  return element;
}

POINT centreOf(const Placement& place) { return {place.x + place.width / 2, place.y + place.height / 2}; }

std::string describeRect(const RECT& rect) {
  std::ostringstream text;
  text << "(" << rect.left << ", " << rect.top << ")-(" << rect.right << ", " << rect.bottom << ")";
  return text.str();
}

std::string describeColor(COLORREF color) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
  return text;
}

COLORREF screenPixel(POINT at) {
  HDC screen = GetDC(NULL);
  COLORREF color = GetPixel(screen, at.x, at.y);
  ReleaseDC(NULL, screen);
  return color;
}

bool closeTo(COLORREF actual, COLORREF expected) {
  return std::abs(GetRValue(actual) - GetRValue(expected)) <= kColorTolerance &&
         std::abs(GetGValue(actual) - GetGValue(expected)) <= kColorTolerance &&
         std::abs(GetBValue(actual) - GetBValue(expected)) <= kColorTolerance;
}

// The mouse as the user moves it: absolute input in the 0..65535 range of
// the primary screen; the button flags press or release at that point.
void sendMouse(POINT at, DWORD buttonFlags = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
  input.mi.dy = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
  input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
  SendInput(1, &input, sizeof input);
}

void click(POINT at, DWORD downFlag, DWORD upFlag) {
  sendMouse(at, downFlag);
  sendMouse(at, upFlag);
}

// The window of the thread of `window` that has the mouse capture, or NULL.
HWND captureOfThread(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, NULL), &info) ? info.hwndCapture : NULL;
}

// A plain window of one colour from the driver itself, made before the
// program starts so that the pictures come above it: a known background.
class Swatch {
 public:
  Swatch(COLORREF color, const RECT& area) {
    record_.cbSize = sizeof record_;
    record_.lpfnWndProc = DefWindowProcA;
    record_.hInstance = GetModuleHandleA(NULL);
    record_.hbrBackground = CreateSolidBrush(color);
    record_.lpszClassName = "PictureTestSwatch";
    RegisterClassExA(&record_);
    window_ = CreateWindowExA(0, record_.lpszClassName, "", WS_POPUP | WS_VISIBLE, area.left, area.top,
                              area.right - area.left, area.bottom - area.top, NULL, NULL, record_.hInstance, NULL);
    UpdateWindow(window_);
  }
  ~Swatch() {
    DestroyWindow(window_);
    UnregisterClassA(record_.lpszClassName, record_.hInstance);
    DeleteObject(record_.hbrBackground);
  }
  Swatch(const Swatch&) = delete;
  Swatch& operator=(const Swatch&) = delete;

  // Handles the driver's own messages until the colour shows at `at`.
  bool waitUntilShown(POINT at, COLORREF color) {
    return desktop::waitUntil(
        [&]() {
          pumpMessages();
          return screenPixel(at) == color;
        },
        kStartTimeout);
  }
  static void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&message);
    }
  }

 private:
  WNDCLASSEXA record_ = {};
  HWND window_ = NULL;
};

class PictureTest : public TessalineTest {
 protected:
  void SetUp() override {
    TessalineTest::SetUp();
    if (HasFatalFailure()) {
      return;
    }
    ASSERT_NO_FATAL_FAILURE(writeWhitePicture());
  }

  void writeImages(const std::string& images) {
    writeConfig("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<system>\n  <launcher>\n"
                "    <file name=\"Notepad\" path=\"notepad.exe\"/>\n  </launcher>\n" +
                images + "</system>\n");
  }

  void startWithImages(const std::string& images) {
    ASSERT_NO_FATAL_FAILURE(writeImages(images));
    process_ = &startProgram();
    owner_ = waitForStartUp(*process_);
    ASSERT_NE(owner_, nullptr) << "start-up: " << describe(*process_);
  }

  // The one top-level window of class ChildWindow<index>, or NULL.
  HWND picture(int index) {
    std::vector<HWND> windows = desktop::topLevelWindows(process_->id(), "ChildWindow" + std::to_string(index));
    EXPECT_EQ(windows.size(), 1u) << "windows of class ChildWindow" << index;
    return windows.empty() ? NULL : windows.front();
  }

  // Wine's X driver shows a window that was not activated (a picture: its
  // style has WS_CHILD, so ShowWindow does not activate it) as an unmanaged
  // X window, and the first time the window is positioned while active it
  // unmaps it and maps it again as a managed one. A press activates the
  // picture and so gives its unmanaged X window the X input focus; the
  // raise in the press then unmaps it, the X server takes the focus away,
  // and Wine answers that focus loss with WM_CANCELMODE, which ends the
  // capture the press has just taken. When the program reads that X event
  // decides which press loses its drag, so a first click does not help.
  // Windows has no such step. Raising the picture from here (synchronous,
  // and activating, as the press would) makes Wine switch it now, while it
  // has no X focus to lose; a managed window never gets it from Wine.
  void letWineManage(HWND window) {
    ASSERT_TRUE(SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE))
        << "raising the picture: error " << GetLastError();
  }

  ProgramProcess* process_ = nullptr;
  HWND owner_ = NULL;
};

TEST_F(PictureTest, ThreePicturesAreOwnedLayeredToolWindowsWhereTheSettingsPlaceThem) {
  const Placement places[] = {{40, 50, 64, 32}, {200, 60, 100, 100}, {330, 220, 50, 80}};
  std::string images;
  for (const Placement& place : places) {
    images += imageElement(place, "0xFFFFFFFF", kWhitePicture);
  }
  ASSERT_NO_FATAL_FAILURE(startWithImages(images));

  for (int index = 0; index < 3; ++index) {
    SCOPED_TRACE("ChildWindow" + std::to_string(index));
    HWND window = picture(index);
    ASSERT_NE(window, nullptr) << describe(*process_);
    EXPECT_EQ(GetWindow(window, GW_OWNER), owner_) << "expected the owner window as owner";
    LONG extendedStyle = GetWindowLongA(window, GWL_EXSTYLE);
    EXPECT_EQ(extendedStyle & (WS_EX_LAYERED | WS_EX_TOOLWINDOW), WS_EX_LAYERED | WS_EX_TOOLWINDOW)
        << "extended style 0x" << std::hex << extendedStyle;
    EXPECT_TRUE(IsWindowVisible(window)) << "expected the picture shown";
    const Placement& place = places[index];
    RECT expected = {place.x, place.y, place.x + place.width, place.y + place.height};
    RECT actual = {};
    GetWindowRect(window, &actual);
    EXPECT_TRUE(EqualRect(&actual, &expected))
        << "window rectangle: expected " << describeRect(expected) << ", got " << describeRect(actual);
  }
}

// A white picture over a blue swatch: the colour's RR GG BB bytes scale the
// picture, its AA byte fades it over what is below.
struct PictureColor {
  const char* name;
  const char* attribute;
  COLORREF expected;  // over kSwatchColor
};

const COLORREF kSwatchColor = RGB(0, 0, 255);

void PrintTo(const PictureColor& color, std::ostream* stream) { *stream << color.name; }

class PictureColorTest : public PictureTest, public ::testing::WithParamInterface<PictureColor> {};

TEST_P(PictureColorTest, IsComposedOverWhatIsBelow) {
  const Placement place = {300, 300, 80, 60};
  const POINT centre = centreOf(place);
  Swatch swatch(kSwatchColor, {250, 250, 450, 450});
  ASSERT_TRUE(swatch.waitUntilShown(centre, kSwatchColor))
      << "the swatch: expected " << describeColor(kSwatchColor) << ", got " << describeColor(screenPixel(centre));

  ASSERT_NO_FATAL_FAILURE(startWithImages(imageElement(place, GetParam().attribute, kWhitePicture)));

  COLORREF expected = GetParam().expected;
  bool shown = desktop::waitUntil(
      [&]() {
        Swatch::pumpMessages();
        return closeTo(screenPixel(centre), expected);
      },
      kEffectTimeout);
  EXPECT_TRUE(shown) << "centre of a white picture with color=\"" << GetParam().attribute << "\" over "
                     << describeColor(kSwatchColor) << ": expected " << describeColor(expected) << ", got "
                     << describeColor(screenPixel(centre)) << "; " << describe(*process_);
}

INSTANTIATE_TEST_SUITE_P(PictureColors, PictureColorTest,
                         ::testing::Values(PictureColor{"OpaqueWhite", "0xFFFFFFFF", RGB(255, 255, 255)},
                                           PictureColor{"OpaqueTinted", "0xFF4080C0", RGB(0x40, 0x80, 0xC0)},
                                           // Half of the tint (255, 128, 0) and half of the blue below.
                                           PictureColor{"HalfTinted", "0x80FF8000", RGB(128, 64, 127)}),
                         [](const ::testing::TestParamInfo<PictureColor>& info) { return info.param.name; });

TEST_F(PictureTest, MissingPictureIsReportedInABoxOwnedByItsWindowAndTheNextShows) {
  const Placement place = {60, 60, 40, 40};
  ASSERT_NO_FATAL_FAILURE(writeImages(imageElement(place, "0xFFFFFFFF", "missing.png") +
                                      imageElement(place, "0xFFFFFFFF", kWhitePicture)));
  process_ = &startProgram();

  HWND box = waitForMessageBox(*process_);
  ASSERT_NE(box, nullptr) << "expected the load error box; " << describe(*process_);
  expectMessageBoxTexts(box, kPictureFailureCaption, kPictureFailureText);
  HWND boxOwner = GetWindow(box, GW_OWNER);
  EXPECT_EQ(desktop::className(boxOwner), "ChildWindow0") << "the box's owner";
  EXPECT_EQ(desktop::processOf(boxOwner), process_->id()) << "the box's owner";

  desktop::pressOk(box);
  bool nextShown = desktop::waitUntil(
      [&]() {
        std::vector<HWND> next = desktop::topLevelWindows(process_->id(), "ChildWindow1");
        return (!next.empty() && IsWindowVisible(next.front())) || !process_->running();
      },
      kEffectTimeout);
  EXPECT_TRUE(nextShown) << "after OK: expected ChildWindow1 shown; " << describe(*process_);
  ASSERT_TRUE(process_->running()) << "after OK: " << describe(*process_);
  EXPECT_EQ(desktop::findMessageBox(process_->id()), nullptr) << "after OK: " << describe(*process_);
}

TEST_F(PictureTest, LeftDragMovesThePictureByTheCursorTravel) {
  const Placement place = {200, 200, 120, 120};
  ASSERT_NO_FATAL_FAILURE(startWithImages(imageElement(place, "0xFFFFFFFF", kWhitePicture)));
  HWND window = picture(0);
  ASSERT_NE(window, nullptr) << describe(*process_);
  ASSERT_NO_FATAL_FAILURE(letWineManage(window));
  const POINT grip = centreOf(place);
  const POINT drop = {grip.x + 60, grip.y + 40};
  RECT before = {};
  GetWindowRect(window, &before);

  // As a user does, the mouse comes to the picture before the press: the
  // drag starts where the program reads the cursor when the press comes,
  // which under Wine can still be where it was before a move and press
  // sent as one input.
  sendMouse(grip);
  ASSERT_TRUE(desktop::waitUntil(
      [&]() {
        POINT cursor = {};
        return GetCursorPos(&cursor) && cursor.x == grip.x && cursor.y == grip.y;
      },
      kEffectTimeout))
      << "the cursor did not come to the picture";
  sendMouse(grip, MOUSEEVENTF_LEFTDOWN);
  ASSERT_TRUE(desktop::waitUntil([&]() { return captureOfThread(window) == window; }, kEffectTimeout))
      << "after the left button went down on the picture: expected it to have the mouse capture, got "
      << captureOfThread(window) << "; " << describe(*process_);
  POINT start = {};
  GetCursorPos(&start);
  sendMouse({grip.x + 30, grip.y + 10});
  sendMouse(drop);
  POINT end = {};
  GetCursorPos(&end);
  RECT expected = before;
  OffsetRect(&expected, end.x - start.x, end.y - start.y);
  RECT actual = {};
  bool moved = desktop::waitUntil(
      [&]() {
        GetWindowRect(window, &actual);
        return EqualRect(&actual, &expected) != FALSE;
      },
      kEffectTimeout);
  sendMouse(drop, MOUSEEVENTF_LEFTUP);

  EXPECT_TRUE(moved) << "cursor moved from (" << start.x << ", " << start.y << ") to (" << end.x << ", " << end.y
                     << "): expected the picture at " << describeRect(expected) << ", got " << describeRect(actual);
  EXPECT_TRUE(desktop::waitUntil([&]() { return captureOfThread(window) == NULL; }, kEffectTimeout))
      << "after the release: expected the picture to let the mouse go, got capture " << captureOfThread(window);
}

// Whether `upper` comes before `lower` in the Z order of top-level windows.
bool isAbove(HWND upper, HWND lower) {
  for (HWND next = GetWindow(upper, GW_HWNDNEXT); next != NULL; next = GetWindow(next, GW_HWNDNEXT)) {
    if (next == lower) {
      return true;
    }
  }
  return false;
}

TEST_F(PictureTest, LeftClickRaisesThePictureAboveTheOthers) {
  // The second picture, tinted blue, is raised last from here (which also
  // lets Wine manage both, see letWineManage), so it lies over the first
  // where they overlap.
  const Placement lower = {200, 200, 120, 120};
  const Placement upper = {260, 260, 120, 120};
  const POINT overlap = {290, 290};
  const COLORREF white = RGB(255, 255, 255);
  ASSERT_NO_FATAL_FAILURE(startWithImages(imageElement(lower, "0xFFFFFFFF", kWhitePicture) +
                                          imageElement(upper, "0xFF0000FF", kWhitePicture)));
  HWND first = picture(0);
  HWND second = picture(1);
  ASSERT_TRUE(first != NULL && second != NULL) << describe(*process_);
  ASSERT_NO_FATAL_FAILURE(letWineManage(first));
  ASSERT_NO_FATAL_FAILURE(letWineManage(second));
  ASSERT_TRUE(isAbove(second, first)) << "before the click: expected ChildWindow1 above ChildWindow0";

  click({lower.x + 20, lower.y + 20}, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);

  EXPECT_TRUE(desktop::waitUntil([&]() { return isAbove(first, second); }, kEffectTimeout))
      << "after a click on ChildWindow0: expected it above ChildWindow1; " << describe(*process_);
  EXPECT_TRUE(desktop::waitUntil([&]() { return closeTo(screenPixel(overlap), white); }, kEffectTimeout))
      << "where the pictures overlap: expected the clicked white picture, " << describeColor(white) << ", got "
      << describeColor(screenPixel(overlap));
}

TEST_F(PictureTest, RightClickOpensTheLauncherMenuAtTheCursorAndEscapeClosesIt) {
  const Placement place = {200, 200, 120, 120};
  ASSERT_NO_FATAL_FAILURE(startWithImages(imageElement(place, "0xFFFFFFFF", kWhitePicture)));
  HWND window = picture(0);
  ASSERT_NE(window, nullptr) << describe(*process_);
  const POINT at = centreOf(place);

  click(at, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  HWND menu = waitForPopupMenu(*process_);
  ASSERT_NE(menu, nullptr) << "after a right click on the picture: " << describe(*process_);
  RECT menuRect = {};
  GetWindowRect(menu, &menuRect);
  EXPECT_EQ(menuRect.left, at.x) << "menu at " << describeRect(menuRect);
  EXPECT_EQ(menuRect.top, at.y) << "menu at " << describeRect(menuRect);

  desktop::pressKey(VK_ESCAPE);
  EXPECT_TRUE(desktop::waitUntil([&]() { return desktop::findPopupMenu(process_->id()) == NULL; }, kEffectTimeout))
      << "after Escape: expected the menu closed; " << describe(*process_);
  EXPECT_TRUE(process_->running()) << describe(*process_);
}

}  // namespace
