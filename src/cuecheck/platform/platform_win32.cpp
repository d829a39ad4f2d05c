// The platform layer on Windows: the Windows API and nothing else.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstring>

#include "cmdline.h"
#include "errcodes.h"
#include "platform.h"
#include "platform_faults.h"

namespace {

// The command line is at most 32767 characters; its words never need more than the line.
constexpr size_t kLineMax = 32768;
char g_line[kLineMax];
char g_words_text[kLineMax];
const char* g_words[kLineMax / 2 + 1];
size_t g_word_count;

HANDLE g_out = INVALID_HANDLE_VALUE;  // where the console output goes
bool g_out_console;                   // g_out is a console screen buffer

// The program's code for a Windows error number.
int error_code(DWORD err) {
  switch (err) {
    case ERROR_SHARING_VIOLATION:  // held open by another process
    case ERROR_LOCK_VIOLATION:
      return kErrAccessDenied;
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return kErrDiskWrite;
    default:
      break;
  }
  if (err >= 19 && err <= 31) return static_cast<int>(err) + 131;  // the device errors
  return static_cast<int>(err);
}

// The name as Windows takes it: every "/" becomes "\". False when it does not fit.
bool windows_name(const char* name, char* out, size_t cap) {
  size_t n = std::strlen(name);
  if (n >= cap) return false;
  for (size_t i = 0; i < n; ++i) out[i] = name[i] == '/' ? '\\' : name[i];
  out[n] = '\0';
  return true;
}

HANDLE handle_of(PlatFile f) {
  return reinterpret_cast<HANDLE>(f.h);
}

bool usable(HANDLE h) {
  return h != nullptr && h != INVALID_HANDLE_VALUE;
}

// Writes all n bytes; false when the handle fails or stops taking them.
bool write_all(HANDLE h, const void* buf, size_t n) {
  const char* p = static_cast<const char*>(buf);
  while (n > 0) {
    DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    DWORD done = 0;
    if (!WriteFile(h, p, chunk, &done, nullptr) || done == 0) return false;
    p += done;
    n -= done;
  }
  return true;
}

}  // namespace

ConsoleStart plat_start(int argc, char** argv) {
  // Failures of a drive are reported as errors, never as a dialog box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

  (void)argc;
  (void)argv;
  // Windows hands the process one line; the C library's own split follows other rules.
  const char* line = GetCommandLineA();
  size_t n = line != nullptr ? std::strlen(line) : 0;
  if (n >= kLineMax) n = kLineMax - 1;
  std::memcpy(g_line, line, n);
  g_line[n] = '\0';
  g_word_count = cmdline_split(g_line, g_words_text, g_words, sizeof g_words / sizeof *g_words);
#if defined(CUECHECK_FAULT_INJECTION)
  // The tests run whole checks in their own process, with arguments of their own.
  g_word_count = 0;
  for (int i = 0; i < argc && g_word_count < sizeof g_words / sizeof *g_words; ++i)
    g_words[g_word_count++] = argv[i];
#endif

  // Standard output when there is one, console or not, so that it can be captured; else
  // the console window itself.
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (!usable(out)) {
    out = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, 0, nullptr);
    if (!usable(out)) return kConsoleNoHandle;
  }
  g_out = out;
  DWORD mode;
  g_out_console = GetConsoleMode(out, &mode) != 0;
  if (g_out_console) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(out, &info)) return kConsoleNoBufferInfo;
  }
  return kConsoleReady;
}

const char* plat_arg(int n) {
  return n >= 0 && static_cast<size_t>(n) < g_word_count ? g_words[n] : nullptr;
}

namespace {

// Opens a file by its name with share mode 0: exclusive use while it is open.
int open_handle(const char* name, DWORD access, DWORD disposition, DWORD flags, HANDLE* h) {
  char wname[1024];
  if (!windows_name(name, wname, sizeof wname)) return error_code(ERROR_FILENAME_EXCED_RANGE);
  *h = CreateFileA(wname, access, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL | flags, nullptr);
  return *h == INVALID_HANDLE_VALUE ? error_code(GetLastError()) : 0;
}

}  // namespace

int plat_open_read(const char* name, PlatFile* f) {
  *f = kNoFile;
  if (int e = fault_hit(kCallOpen)) return error_code(static_cast<DWORD>(e));
  HANDLE h;
  if (int code = open_handle(name, GENERIC_READ, OPEN_EXISTING, 0, &h)) return code;
  *f = PlatFile{reinterpret_cast<intptr_t>(h)};
  return 0;
}

int plat_create_write(const char* name, PlatFile* f) {
  *f = kNoFile;
  if (int e = fault_hit(kCallCreate)) return error_code(static_cast<DWORD>(e));
  // Opened without truncation and emptied only once held: a file that another process
  // holds is never emptied.
  // The report is written only into a plain file: a link or junction there is opened as
  // itself, not followed, and refused with a pipe or a device.
  HANDLE h;
  if (int code = open_handle(name, GENERIC_WRITE, OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, &h))
    return code;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    CloseHandle(h);
    return kErrAccessDenied;
  }
  if (!SetEndOfFile(h)) {
    int code = error_code(GetLastError());
    CloseHandle(h);
    return code;
  }
  *f = PlatFile{reinterpret_cast<intptr_t>(h)};
  return 0;
}

int plat_read(PlatFile f, void* buf, size_t cap, size_t* got) {
  *got = 0;
  if (int e = fault_hit(kCallRead)) return error_code(static_cast<DWORD>(e));
  cap = fault_read_cap(cap);
  DWORD want = cap > 0x40000000 ? 0x40000000 : static_cast<DWORD>(cap);
  DWORD n = 0;
  if (!ReadFile(handle_of(f), buf, want, &n, nullptr)) {
    DWORD err = GetLastError();
    if (err == ERROR_HANDLE_EOF || err == ERROR_BROKEN_PIPE) return 0;  // the end
    return error_code(err);
  }
  *got = n;
  return 0;
}

int plat_write(PlatFile f, const void* buf, size_t n) {
  if (int e = fault_hit(kCallWrite)) return error_code(static_cast<DWORD>(e));
  const char* p = static_cast<const char*>(buf);
  while (n > 0) {
    DWORD chunk = n > 0x40000000 ? 0x40000000 : static_cast<DWORD>(n);
    DWORD done = 0;
    if (!WriteFile(handle_of(f), p, chunk, &done, nullptr)) return error_code(GetLastError());
    if (done < chunk) return kErrDiskWrite;
    p += done;
    n -= done;
  }
  return 0;
}

int plat_close(PlatFile f) {
  if (!plat_is_file(f)) return 0;
  DWORD e = static_cast<DWORD>(fault_hit(kCallClose));
  if (!CloseHandle(handle_of(f)) && e == 0) e = GetLastError();
  return e == 0 ? 0 : error_code(e);
}

bool plat_console_is_device() {
  return GetFileType(g_out) == FILE_TYPE_CHAR;
}

void plat_console_clear() {
  if (!g_out_console) return;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(g_out, &info)) return;
  const SMALL_RECT w = info.srWindow;
  const DWORD width = static_cast<DWORD>(w.Right - w.Left + 1);
  for (SHORT y = w.Top; y <= w.Bottom; ++y) {
    COORD at = {w.Left, y};
    DWORD done;
    FillConsoleOutputCharacterA(g_out, ' ', width, at, &done);
    FillConsoleOutputAttribute(g_out, info.wAttributes, width, at, &done);
  }
  SetConsoleCursorPosition(g_out, COORD{w.Left, w.Top});
}

const char* plat_console_line_end() {
  return "\r\n";
}

void plat_console_write(const void* buf, size_t n) {
  write_all(g_out, buf, n);
}

void plat_console_wait_line() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (!usable(in)) return;
  char c;
  DWORD got;
  while (ReadFile(in, &c, 1, &got, nullptr) && got == 1 && c != '\n') {
  }
}

void plat_error_write(const char* text) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (usable(err)) write_all(err, text, std::strlen(text));
}
