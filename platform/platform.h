// The operations the system needs from its platform: Windows calls on Windows,
// stand-ins that behave the same way (ANSI code page 932) on POSIX.
//
// Every function here keeps the name and the contract of the Windows call it
// stands for, so a reader who knows Windows knows what it does. Texts are code
// page 932 bytes; paths take "\" or "/" as separators. Implemented once in
// platform/win32/ and once in platform/posix/, with matching file names.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The calling convention of WinMain and of the engine's run on 32-bit Windows.
#if defined(_WIN32) && !defined(_WIN64)
#define OC_STDCALL __stdcall
#else
#define OC_STDCALL
#endif

namespace platform {

using DWORD = std::uint32_t;
using Instance = void*;  // HINSTANCE: the module handle WinMain receives
using Module = void*;    // HMODULE
using Window = void*;    // HWND
using Handle = void*;    // a kernel object (the single-instance event)

inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10u;
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80u;

inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_NO_MORE_FILES = 18;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
inline constexpr DWORD ERROR_ALREADY_EXISTS = 183;

inline constexpr unsigned MB_OK = 0x0u;
inline constexpr unsigned MB_ABORTRETRYIGNORE = 0x2u;
inline constexpr unsigned MB_TOPMOST = 0x40000u;
inline constexpr int IDOK = 1;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;

inline constexpr int SW_SHOWNORMAL = 1;

// ---- Code page (the process's ANSI code page; 932 on the game's systems) ----

// IsDBCSLeadByte: true for a lead byte of a double-byte character.
bool IsDBCSLeadByte(unsigned char byte);
// True for a byte that may follow a lead byte (0x40-0x7E, 0x80-0xFC in 932).
bool IsTrailByte(unsigned char byte);
// CharNextA: the next character after p; p itself at the terminating NUL.
// A lead byte followed by the NUL counts as one byte.
char* CharNextA(const char* p);
// CharPrevA: the start of the character before p, never before start.
char* CharPrevA(const char* start, const char* p);
// _mbschr / _mbsrchr: first / last character equal to ch (a byte or a
// lead*256+trail pair); trail bytes are never matched. Null if none.
// Searching for 0 finds the terminating NUL.
char* FindChar(const char* text, unsigned ch);
char* FindLastChar(const char* text, unsigned ch);
// _mbsstr: the first occurrence of sub that starts at a character boundary.
char* FindText(const char* text, const char* sub);
// _mbsspn: bytes at the start of text made only of characters of set.
std::size_t SpanOfSet(const char* text, const char* set);
// _mbspbrk: the first character of text that is in set, or null.
char* FindFirstOfSet(const char* text, const char* set);
// _mbsicmp / _mbsnbicmp: case-insensitive comparison of whole texts / of at
// most count bytes. ASCII letters and the full-width Latin letters
// (0x8260-0x8279 ~ 0x8281-0x829A) fold to lower case; double-byte characters
// compare as units. Negative, 0 or positive.
int CompareNoCase(const char* a, const char* b);
int CompareNoCaseBytes(const char* a, const char* b, std::size_t count);
// lstrlenA, lstrcmpiA (the platform's case-insensitive collation).
int lstrlenA(const char* text);
int lstrcmpiA(const char* a, const char* b);

// Conversions between the ANSI code page and UTF-8 (tools, consoles, file
// names). ok is false where a character cannot be converted; the text then
// holds what could be converted, with "?" in place of the rest.
std::string AnsiToUtf8(const std::string& ansi, bool* ok = nullptr);
std::string Utf8ToAnsi(const std::string& utf8, bool* ok = nullptr);

// ---- Errors ----

// GetLastError / SetLastError: the calling thread's last error of the calls
// in this header.
DWORD GetLastError();
void SetLastError(DWORD error);

// ---- Files ----

struct FindData {
  DWORD attributes = 0;
  char fileName[260] = {};  // code page 932, no directory
};
using FindHandle = void*;
inline const FindHandle INVALID_FIND_HANDLE = reinterpret_cast<FindHandle>(-1);

DWORD GetFileAttributesA(const char* path);
// FindFirstFileA: pattern is a directory path, "\" and a file pattern with
// "*" and "?". Lists "." and ".." where Windows does.
FindHandle FindFirstFileA(const char* pattern, FindData* data);
bool FindNextFileA(FindHandle handle, FindData* data);
bool FindClose(FindHandle handle);
// GetCurrentDirectoryA: the length copied (without the NUL), or the size
// needed (with the NUL) when the buffer is too small, or 0 on failure.
DWORD GetCurrentDirectoryA(DWORD size, char* buffer);
bool CreateDirectoryA(const char* path);
// GetVolumeInformationA(root, ...), reduced to what the pak search asks:
// does the volume answer? POSIX has no drives and answers false.
bool GetVolumeInformationA(const char* rootPath, DWORD* maximumComponentLength,
                           DWORD* fileSystemFlags);
// fopen with a platform path (code page 932, either separator).
std::FILE* OpenFile(const char* path, const char* mode);

// ---- Memory ----

// VirtualAlloc(null, size, MEM_COMMIT, PAGE_READWRITE) / VirtualFree(MEM_RELEASE).
void* VirtualAlloc(std::size_t size);
bool VirtualFree(void* address);

// ---- Settings ----

// GetPrivateProfileStringA. A file name without a directory is looked for in
// the Windows directory (POSIX: $WINDIR, else /etc). Returns the number of
// bytes copied, without the NUL; the value is cut to size - 1 bytes.
DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName);

// ---- Kernel objects ----

// CreateEventA(no security attributes, ...). A second creator of the same name
// gets a handle and ERROR_ALREADY_EXISTS.
Handle CreateEventA(bool manualReset, bool initialState, const char* name);
bool CloseHandle(Handle handle);

// ---- Windows and dialogs ----

Window FindWindowA(const char* className, const char* windowName);
bool SetForegroundWindow(Window window);
// MessageBoxA: IDOK, IDABORT, IDRETRY or IDIGNORE.
int MessageBoxA(Window owner, const char* text, const char* caption, unsigned type);

// ---- Libraries ----

Module GetModuleHandleA(const char* name);
Module LoadLibraryExA(const char* name);
void* GetProcAddress(Module module, const char* name);
bool FreeLibrary(Module module);

// ---- Consoles ----

// True when stream is a terminal (a console on Windows), not a file or pipe.
bool IsTerminal(std::FILE* stream);
// Makes stream pass bytes unchanged (no newline translation on Windows).
void SetBinaryMode(std::FILE* stream);

// ---- Process ----

// The program's arguments as UTF-8 (on Windows from the wide command line, so
// names outside the ANSI code page survive).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Runs a top-level window of class className titled title until it is closed,
// or for at most holdSeconds when that is 0 or more. POSIX has no windows: it
// waits holdSeconds (a negative count returns at once). Used by the demo engine.
void RunEngineWindow(Instance instance, const char* className, const char* title,
                     int showCommand, int holdSeconds);

}  // namespace platform
