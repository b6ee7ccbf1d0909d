// wintool: a test helper for the end-to-end tests under Wine. It answers
// message boxes, waits for windows and checks which window is in front —
// what a person at the screen would do.
//
//   wintool press CAPTION ok|abort|retry|ignore [SECONDS]
//       waits for a dialog titled CAPTION, prints its text, presses the button
//   wait-window CLASS TITLE [SECONDS]
//       waits until a top-level window of that class and title exists
//   close CLASS TITLE
//       asks the window CLASS/TITLE to close
//   foreground-after CLASS TITLE COMMAND...
//       puts a window of its own in front, runs COMMAND, then checks that the
//       window CLASS/TITLE is in front
//
// Arguments are taken from the wide command line; exit code 0 on success.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string WideTo(UINT codePage, const std::wstring& text) {
  int size = WideCharToMultiByte(codePage, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(size > 0 ? size - 1 : 0, '\0');
  if (size > 1) WideCharToMultiByte(codePage, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
  return out;
}

std::wstring ToWide(UINT codePage, const std::string& text) {
  int size = MultiByteToWideChar(codePage, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(size > 0 ? size - 1 : 0, L'\0');
  if (size > 1) MultiByteToWideChar(codePage, 0, text.c_str(), -1, out.data(), size);
  return out;
}

// Polls for a window for up to seconds; null when none appeared.
HWND WaitForWindow(const std::string& className, const std::string& title, double seconds) {
  for (DWORD waited = 0; waited <= seconds * 1000; waited += 100) {
    HWND window = FindWindowA(className.c_str(), title.c_str());
    if (window != nullptr) return window;
    Sleep(100);
  }
  return nullptr;
}

BOOL CALLBACK PrintStaticText(HWND child, LPARAM) {
  char className[64] = {};
  GetClassNameA(child, className, sizeof className);
  if (lstrcmpiA(className, "Static") == 0) {
    wchar_t text[1024] = {};
    GetWindowTextW(child, text, 1024);
    if (text[0] != L'\0') std::printf("%s\n", WideTo(CP_UTF8, text).c_str());
  }
  return TRUE;
}

int Press(const std::vector<std::string>& args) {
  if (args.size() < 2) return 2;
  const std::string caption = args[0];
  const std::string button = args[1];
  double seconds = args.size() > 2 ? std::atof(args[2].c_str()) : 20;
  WPARAM id = button == "ok" ? IDOK : button == "abort" ? IDABORT : button == "retry" ? IDRETRY : IDIGNORE;
  HWND dialog = WaitForWindow("#32770", caption, seconds);
  if (dialog == nullptr) {
    std::fprintf(stderr, "wintool: no dialog appeared\n");
    return 1;
  }
  EnumChildWindows(dialog, PrintStaticText, 0);
  std::fflush(stdout);
  PostMessageA(dialog, WM_COMMAND, id, 0);
  return 0;
}

int WaitWindow(const std::vector<std::string>& args) {
  if (args.size() < 2) return 2;
  double seconds = args.size() > 2 ? std::atof(args[2].c_str()) : 20;
  return WaitForWindow(args[0], args[1], seconds) != nullptr ? 0 : 1;
}

int CloseWindowNamed(const std::vector<std::string>& args) {
  if (args.size() < 2) return 2;
  HWND window = FindWindowA(args[0].c_str(), args[1].c_str());
  if (window == nullptr) return 1;
  PostMessageA(window, WM_CLOSE, 0, 0);
  return 0;
}

LRESULT CALLBACK PlainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int ForegroundAfter(const std::vector<std::string>& args) {
  if (args.size() < 3) return 2;
  HWND target = WaitForWindow(args[0], args[1], 20);
  if (target == nullptr) {
    std::fprintf(stderr, "wintool: the target window does not exist\n");
    return 1;
  }
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = PlainWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "wintool-front";
  RegisterClassA(&windowClass);
  HWND own = CreateWindowA("wintool-front", "wintool", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                           nullptr, windowClass.hInstance, nullptr);
  SetForegroundWindow(own);
  PumpMessages();
  if (GetForegroundWindow() == target) {
    std::fprintf(stderr, "wintool: could not put a window in front of the target first\n");
    return 1;
  }

  std::wstring commandLine;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (!commandLine.empty()) commandLine += L' ';
    commandLine += L'"' + ToWide(CP_UTF8, args[i]) + L'"';
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    std::fprintf(stderr, "wintool: cannot start the command (error %lu)\n", GetLastError());
    return 1;
  }
  while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) PumpMessages();
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int i = 0; i < 20 && GetForegroundWindow() != target; ++i) {
    PumpMessages();
    Sleep(50);
  }
  bool inFront = GetForegroundWindow() == target;
  DestroyWindow(own);
  std::printf("%s\n", inFront ? "target in front" : "target not in front");
  return inFront ? 0 : 1;
}

}  // namespace

int main() {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  // Window names are ANSI (code page 932) for the A calls; the command stays UTF-8.
  for (int i = 1; i < count; ++i) args.push_back(WideTo(CP_ACP, wide[i]));
  if (args.size() >= 1 && args[0] == "foreground-after") {
    for (int i = 4; i < count; ++i) args[i - 1] = WideTo(CP_UTF8, wide[i]);
  }
  LocalFree(wide);
  if (args.empty()) return 2;
  const std::string command = args[0];
  args.erase(args.begin());
  if (command == "press") return Press(args);
  if (command == "wait-window") return WaitWindow(args);
  if (command == "foreground-after") return ForegroundAfter(args);
  if (command == "close") return CloseWindowNamed(args);
  std::fprintf(stderr, "wintool: unknown command %s\n", command.c_str());
  return 2;
}
