// The host's seams: an installed host is asked for input where the program
// waits and told what the desktop shows; the scripted host's mouse input
// becomes Win32's mouse messages for the right window, in the queue's order.
#include "Win32Test.h"

#include <platform/desktop.h>
#include <platform/host.h>

#include "core/MessageQueue.h"

#include <memory>
#include <string>
#include <vector>

namespace {

namespace desktop = platform::desktop;
namespace script = platform::script;
using platform::MouseButton;

// A host that answers every wait with a quit request and writes down what
// it was asked and told.
class RecordingHost : public platform::Host {
 public:
  explicit RecordingHost(std::vector<std::string>& log) : log_(log) {}

  bool waitForInput(platform::WaitPlace place, platform::InputSink& sink) override {
    log_.push_back(std::string("wait in ") + platform::waitPlaceName(place));
    if (place == platform::WaitPlace::messageBox) {
      return sink.deliver(platform::input::PressMessageBoxButton{IDCANCEL}).empty();
    }
    PostQuitMessage(0);
    return true;
  }
  void messageBoxOpened(const platform::MessageBoxView& box) override { log_.push_back("box " + box.text); }
  void messageBoxClosed(int button) override { log_.push_back("box closed " + std::to_string(button)); }
  void windowChanged(const platform::WindowView&, platform::WindowChange change) override {
    const char* names[] = {"shown", "hidden", "moved", "zOrder", "layeredContent", "destroyed"};
    log_.push_back(names[static_cast<int>(change)]);
  }
  POINT cursorPosition() override { return POINT{0, 0}; }
  void moveCursor(POINT) override {}
  SIZE screenSize() override { return SIZE{640, 480}; }
  void debugOutput(const std::string&) override {}
  void consoleOutput(const std::string&, bool) override {}

 private:
  std::vector<std::string>& log_;
};

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

struct MouseMessage {
  HWND window;
  UINT message;
  WPARAM keys;
  int clientX;
  int clientY;
  POINT screen;
};

std::vector<MouseMessage> received;

LRESULT CALLBACK recordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if ((message >= WM_MOUSEMOVE && message <= WM_MBUTTONUP) || message == WM_CAPTURECHANGED || message >= WM_USER) {
    received.push_back(MouseMessage{window, message, wParam, static_cast<short>(LOWORD(lParam)),
                                    static_cast<short>(HIWORD(lParam)), POINT{0, 0}});
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktop::reset();
    desktop::setEcho(false);
    received.clear();
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = recordingProcedure;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "HostTestWindow";
    ASSERT_NE(0, RegisterClassExA(&windowClass));
  }

  HWND createWindow(int x, int y, int width, int height, DWORD style = WS_POPUP | WS_VISIBLE, DWORD exStyle = 0) {
    return CreateWindowExA(exStyle, "HostTestWindow", "window", style, x, y, width, height, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
  }

  // Retrieves and dispatches everything until the script's quit, keeping
  // the screen point each message carried.
  void runUntilQuit() {
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
      std::size_t before = received.size();
      DispatchMessageA(&message);
      if (received.size() > before) {
        received[before].screen = message.pt;
      }
    }
  }
};

TEST_F(HostTest, AnInstalledHostIsAskedWhereTheProgramWaitsAndToldWhatChanges) {
  std::vector<std::string> log;
  platform::installHost(std::unique_ptr<platform::Host>(new RecordingHost(log)));

  HWND window = createWindow(0, 0, 10, 10);
  SetWindowPos(window, HWND_TOP, 5, 5, 0, 0, SWP_NOSIZE);
  EXPECT_EQ(IDCANCEL, MessageBoxA(NULL, "question", NULL, MB_OKCANCEL));
  ShowWindow(window, SW_HIDE);
  DestroyWindow(window);
  MSG message;
  EXPECT_EQ(0, GetMessageA(&message, NULL, 0, 0));

  const std::vector<std::string> expected = {"shown",          "moved",  "zOrder", "box question",
                                             "wait in MessageBoxA", "box closed 2", "hidden", "destroyed",
                                             "wait in GetMessageA"};
  EXPECT_EQ(expected, log);
}

TEST_F(HostTest, UpdateLayeredWindowTellsTheHostTheWindowMovedAndShowsNewContent) {
  HWND window = createWindow(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED);
  HDC source = CreateCompatibleDC(NULL);
  BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 2, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  HGDIOBJ previous = SelectObject(source, CreateDIBSection(source, &info, DIB_RGB_COLORS, NULL, NULL, 0));
  std::vector<std::string> log;
  platform::installHost(std::unique_ptr<platform::Host>(new RecordingHost(log)));
  POINT position = {3, 4};
  SIZE size = {2, 2};
  for (int update = 0; update < 2; ++update) {
    EXPECT_TRUE(UpdateLayeredWindow(window, NULL, &position, &size, source, NULL, 0, NULL, ULW_OPAQUE));
  }
  EXPECT_EQ((std::vector<std::string>{"moved", "layeredContent", "layeredContent"}), log);
  DeleteObject(SelectObject(source, previous));
  DeleteDC(source);
}

TEST_F(HostTest, MouseInputGoesToTheTopVisibleWindowUnderTheCursorInClientCoordinates) {
  HWND below = createWindow(0, 0, 100, 100);
  HWND above = createWindow(50, 50, 100, 100);
  createWindow(0, 0, 300, 300, WS_POPUP);                              // hidden
  createWindow(0, 0, 300, 300, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED);  // layered, nothing shown yet
  script::moveCursor(60, 70);
  script::pressButton(MouseButton::left);
  script::moveCursor(10, 20);
  script::releaseButton(MouseButton::left);
  script::click(500, 500, MouseButton::right);  // over no window: nothing
  script::then([] { PostQuitMessage(0); });

  runUntilQuit();

  struct Expected {
    HWND window;
    UINT message;
    WPARAM keys;
    int clientX;
    int clientY;
  };
  const Expected expected[] = {{above, WM_MOUSEMOVE, 0, 10, 20},
                               {above, WM_LBUTTONDOWN, MK_LBUTTON, 10, 20},
                               {below, WM_MOUSEMOVE, MK_LBUTTON, 10, 20},
                               {below, WM_LBUTTONUP, 0, 10, 20}};
  ASSERT_EQ(sizeof expected / sizeof expected[0], received.size());
  for (std::size_t index = 0; index < received.size(); ++index) {
    EXPECT_EQ(expected[index].window, received[index].window) << "message " << index;
    EXPECT_EQ(expected[index].message, received[index].message) << "message " << index;
    EXPECT_EQ(expected[index].keys, received[index].keys) << "message " << index;
    EXPECT_EQ(expected[index].clientX, received[index].clientX) << "message " << index;
    EXPECT_EQ(expected[index].clientY, received[index].clientY) << "message " << index;
  }
  EXPECT_EQ(60, received[0].screen.x) << "the message's point is the cursor's screen position";
  EXPECT_EQ(70, received[0].screen.y);
  EXPECT_EQ(500, desktop::cursorPosition().x);
}

// A window manager may move a window, and the display knows where the
// pointer really is: both decide over the desktop's own Z order.
TEST_F(HostTest, TheDisplaysWordOnWhereWindowsAreDecidesWhereTheMouseGoes) {
  HWND below = createWindow(0, 0, 100, 100);
  HWND above = createWindow(50, 50, 100, 100);
  script::moveWindowByDesktop(below, 200, 200);
  script::click(210, 215, MouseButton::left);  // where it is now
  script::moveCursor(60, 60, below);           // under the other one here, but the display found it
  script::pressButton(MouseButton::left);
  script::then([] { PostQuitMessage(0); });

  runUntilQuit();

  RECT rect = {};
  GetWindowRect(below, &rect);
  EXPECT_EQ(200, rect.left);
  EXPECT_EQ(300, rect.bottom) << "the size is kept";
  ASSERT_EQ(5u, received.size());
  for (const MouseMessage& message : received) {
    EXPECT_EQ(below, message.window) << "message 0x" << std::hex << message.message << " went to "
                                     << (message.window == above ? "the window above" : "another window");
  }
  EXPECT_EQ(10, received[1].clientX);
  EXPECT_EQ(15, received[1].clientY);
}

TEST_F(HostTest, TheCaptureWindowGetsTheMouseAndTheLoserIsTold) {
  HWND captor = createWindow(0, 0, 10, 10);
  HWND other = createWindow(100, 100, 10, 10);
  script::then([&] { SetCapture(captor); });
  script::moveCursor(105, 105);  // over the other window, but captured
  script::then([&] { EXPECT_EQ(captor, SetCapture(other)); });
  script::then([&] { EXPECT_TRUE(ReleaseCapture()); });
  script::then([] { PostQuitMessage(0); });

  runUntilQuit();

  ASSERT_EQ(3u, received.size());
  EXPECT_EQ(captor, received[0].window);
  EXPECT_EQ(static_cast<UINT>(WM_MOUSEMOVE), received[0].message);
  EXPECT_EQ(105, received[0].clientX) << "client coordinates of the capture window, outside it";
  EXPECT_EQ(captor, received[1].window);
  EXPECT_EQ(static_cast<UINT>(WM_CAPTURECHANGED), received[1].message);
  EXPECT_EQ(other, received[2].window);
  EXPECT_EQ(static_cast<UINT>(WM_CAPTURECHANGED), received[2].message);
  EXPECT_TRUE(GetCapture() == NULL);
}

TEST_F(HostTest, PostedMessagesComeBeforeInputAndMouseMovesAreMerged) {
  HWND window = createWindow(0, 0, 100, 100);
  script::then([&] {
    // Input and a posted message wait together: the posted one comes first.
    platform::desktopInput().deliver(platform::input::MoveCursor{POINT{1, 1}});
    platform::desktopInput().deliver(platform::input::MoveCursor{POINT{2, 2}});
    platform::desktopInput().deliver(platform::input::PressButton{MouseButton::right});
    platform::desktopInput().deliver(platform::input::MoveCursor{POINT{3, 3}});
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(0);
  });

  runUntilQuit();

  const UINT expected[] = {WM_USER, WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_MOUSEMOVE};
  ASSERT_EQ(4u, received.size()) << "two moves in a row are merged into the later one";
  for (std::size_t index = 0; index < 4; ++index) {
    EXPECT_EQ(expected[index], received[index].message) << "message " << index;
  }
  EXPECT_EQ(2, received[1].clientX) << "the merged move has the later position";
  EXPECT_EQ(3, received[3].clientX);
}

}  // namespace
