// Windows and dialogs: message boxes, finding a window, and the engine's
// top-level window with its message loop.
#include "platform/shared/seams_state.h"
#include "platform/win32/win32_support.h"

namespace platform {
namespace {

constexpr UINT_PTR kHoldTimer = 1;

LRESULT CALLBACK EngineWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kHoldTimer) ::DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

// A registered window class, unregistered when its owner goes.
class WindowClass {
 public:
  WindowClass(HINSTANCE instance, const char* name) : instance_(instance), name_(name) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = EngineWindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = name;
    registered_ = ::RegisterClassExA(&windowClass) != 0;
  }
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;
  ~WindowClass() {
    if (registered_) ::UnregisterClassA(name_, instance_);
  }
  bool Registered() const { return registered_; }

 private:
  HINSTANCE instance_;
  const char* name_;
  bool registered_ = false;
};

// A window destroyed when its owner goes, unless it was closed already.
class OwnedWindow {
 public:
  explicit OwnedWindow(HWND window) : window_(window) {}
  OwnedWindow(const OwnedWindow&) = delete;
  OwnedWindow& operator=(const OwnedWindow&) = delete;
  ~OwnedWindow() {
    if (window_ != nullptr && ::IsWindow(window_)) ::DestroyWindow(window_);
  }
  HWND Get() const { return window_; }

 private:
  HWND window_;
};

}  // namespace

Window FindWindowA(const char* className, const char* windowName) { return ::FindWindowA(className, windowName); }

bool SetForegroundWindow(Window window) { return ::SetForegroundWindow(static_cast<HWND>(window)) != FALSE; }

int MessageBoxA(Window owner, const char* text, const char* caption, unsigned type) {
  if (const auto scripted = seams_state::ScriptedMessageBoxAnswer(owner, text, caption, type)) return *scripted;
  return ::MessageBoxA(static_cast<HWND>(owner), text, caption, type);
}

void RunEngineWindow(Instance instance, const char* className, const char* title, int showCommand, int holdSeconds) {
  const auto module = static_cast<HINSTANCE>(instance);
  const WindowClass windowClass(module, className);
  if (!windowClass.Registered()) return;
  const OwnedWindow window(::CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                             640, 480, nullptr, nullptr, module, nullptr));
  if (window.Get() == nullptr) return;
  ::ShowWindow(window.Get(), showCommand);
  ::UpdateWindow(window.Get());
  if (holdSeconds >= 0) {
    const UINT milliseconds = holdSeconds > 0 ? static_cast<UINT>(holdSeconds) * 1000u : 1u;
    ::SetTimer(window.Get(), kHoldTimer, milliseconds, nullptr);
  }
  MSG message{};
  // Ends with WM_QUIT once the window is destroyed, by the user or the timer.
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

}  // namespace platform
