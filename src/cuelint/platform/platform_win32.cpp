// The platform layer on Windows: the wide API throughout, names held as UTF-8 above it.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <system_error>

#include "platform.h"
#include "platform_faults.h"

namespace cuelint {

namespace {

// Bytes that are not UTF-8 become U+FFFD; names from the system are UTF-16 and come back
// whole.
std::wstring to_wide(const char* s, std::size_t n) {
  if (n == 0) return std::wstring();
  int len = MultiByteToWideChar(CP_UTF8, 0, s, static_cast<int>(n), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(len), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, static_cast<int>(n), &w[0], len);
  return w;
}

std::wstring to_wide(const std::string& s) {
  return to_wide(s.data(), s.size());
}

std::string to_utf8(const wchar_t* w, std::size_t n) {
  if (n == 0) return std::string();
  int len = WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<std::size_t>(len), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w, static_cast<int>(n), &s[0], len, nullptr, nullptr);
  return s;
}

HANDLE handle_of(File f) {
  return reinterpret_cast<HANDLE>(f.h);
}

File file_of(HANDLE h) {
  return File{reinterpret_cast<std::intptr_t>(h)};
}

HANDLE std_handle(Stream s) {
  return GetStdHandle(s == Stream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool is_console(HANDLE h) {
  DWORD mode;
  return h != nullptr && h != INVALID_HANDLE_VALUE && GetConsoleMode(h, &mode) != 0;
}

int write_handle(HANDLE h, const void* buf, std::size_t n) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  const char* p = static_cast<const char*>(buf);
  while (n > 0) {
    DWORD chunk = n > (1u << 30) ? (1u << 30) : static_cast<DWORD>(n);
    DWORD done = 0;
    if (!WriteFile(h, p, chunk, &done, nullptr)) return static_cast<int>(GetLastError());
    if (done == 0) return ERROR_WRITE_FAULT;
    p += done;
    n -= done;
  }
  return 0;
}

// A console shows every script only from UTF-16; the bytes of a report are whole lines, so
// no character is split between two writes.
int write_console(HANDLE h, const void* buf, std::size_t n) {
  std::wstring w = to_wide(static_cast<const char*>(buf), n);
  const wchar_t* p = w.data();
  std::size_t left = w.size();
  while (left > 0) {
    DWORD chunk = left > 16384 ? 16384 : static_cast<DWORD>(left);
    DWORD done = 0;
    if (!WriteConsoleW(h, p, chunk, &done, nullptr)) return static_cast<int>(GetLastError());
    if (done == 0) return ERROR_WRITE_FAULT;
    p += done;
    left -= done;
  }
  return 0;
}

// Links and junctions are name surrogates; other reparse points (cloud files, dedup) are
// the files and folders they stand for.
bool is_link(DWORD attributes, DWORD tag) {
  return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
         (tag == IO_REPARSE_TAG_SYMLINK || tag == IO_REPARSE_TAG_MOUNT_POINT ||
          IsReparseTagNameSurrogate(tag));
}

}  // namespace

struct FolderList {
  std::wstring path;  // below it, names are joined to it: the wide API has no handle walk
  HANDLE find;
  WIN32_FIND_DATAW data;
  bool pending;  // data holds an entry not yet handed out
};

namespace {

std::wstring below(const FolderList* d, const std::string& name) {
  std::wstring p = d->path;
  if (!p.empty() && p.back() != L'\\' && p.back() != L'/') p += L'\\';
  return p + to_wide(name);
}

// What an open handle is; a link only when it was opened as one (not followed).
int handle_kind(HANDLE h, Kind* k) {
  if (GetFileType(h) != FILE_TYPE_DISK) {
    *k = Kind::kOther;
    return 0;
  }
  FILE_ATTRIBUTE_TAG_INFO info;
  if (!GetFileInformationByHandleEx(h, FileAttributeTagInfo, &info, sizeof info))
    return static_cast<int>(GetLastError());
  if (is_link(info.FileAttributes, info.ReparseTag)) {
    *k = Kind::kLink;
  } else if (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    *k = Kind::kFolder;
  } else {
    *k = Kind::kFile;
  }
  return 0;
}

int list_folder(std::wstring path, FolderList** d) {
  std::wstring pattern = path;
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  auto* list = new FolderList;
  list->path = std::move(path);
  list->find = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &list->data,
                                FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  list->pending = list->find != INVALID_HANDLE_VALUE;
  if (!list->pending) {
    DWORD e = GetLastError();
    if (e != ERROR_FILE_NOT_FOUND) {  // else an empty drive: no "." and ".." either
      delete list;
      return static_cast<int>(e);
    }
  }
  *d = list;
  return 0;
}

}  // namespace

std::vector<std::string> start(int, char**) {
  // Failures of a drive are errors of the call, never a dialog box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  // The progress line moves the cursor as on a terminal.
  HANDLE err = std_handle(Stream::kErr);
  DWORD mode;
  if (is_console(err) && GetConsoleMode(err, &mode))
    SetConsoleMode(err, mode | 0x0004);  // ENABLE_VIRTUAL_TERMINAL_PROCESSING
  // The arguments in UTF-16, not argv's code page, so that a name in any script survives.
  std::vector<std::string> args;
  int n = 0;
  wchar_t** w = CommandLineToArgvW(GetCommandLineW(), &n);
  if (w == nullptr) return args;
  for (int i = 0; i < n; ++i) args.push_back(to_utf8(w[i], wcslen(w[i])));
  LocalFree(w);
  return args;
}

int open_read(const std::string& path, File* f) {
  if (int e = fault_hit(kCallOpen)) return e;
  HANDLE h = CreateFileW(to_wide(path).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  *f = file_of(h);
  return 0;
}

int open_stdin(File* f) {
  if (int e = fault_hit(kCallOpen)) return e;
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  if (in == nullptr) return ERROR_INVALID_HANDLE;  // no standard input at all
  if (in == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  HANDLE self = GetCurrentProcess(), h = nullptr;
  if (!DuplicateHandle(self, in, self, &h, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return static_cast<int>(GetLastError());
  *f = file_of(h);
  return 0;
}

int open_temp(File* f) {
  if (int e = fault_hit(kCallTemp)) return e;
  wchar_t dir[MAX_PATH + 1], name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, dir) == 0) return static_cast<int>(GetLastError());
  if (GetTempFileNameW(dir, L"cul", 0, name) == 0) return static_cast<int>(GetLastError());
  HANDLE h = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    int e = static_cast<int>(GetLastError());
    DeleteFileW(name);
    return e;
  }
  *f = file_of(h);
  return 0;
}

int read_some(File f, void* buf, std::size_t cap, std::size_t* got) {
  *got = 0;
  if (int e = fault_hit(kCallRead)) return e;
  DWORD chunk = cap > (1u << 30) ? (1u << 30) : static_cast<DWORD>(cap);
  DWORD done = 0;
  if (!ReadFile(handle_of(f), buf, chunk, &done, nullptr)) {
    DWORD e = GetLastError();
    return e == ERROR_BROKEN_PIPE ? 0 : static_cast<int>(e);  // a pipe's end
  }
  *got = done;
  return 0;
}

int write_file(File f, const void* buf, std::size_t n) {
  if (int e = fault_hit(kCallWrite)) return e;
  return write_handle(handle_of(f), buf, n);
}

int seek_to(File f, std::uint64_t pos) {
  if (int e = fault_hit(kCallSeek)) return e;
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(pos);
  if (!SetFilePointerEx(handle_of(f), to, nullptr, FILE_BEGIN))
    return static_cast<int>(GetLastError());
  return 0;
}

bool can_seek(File f) {
  return GetFileType(handle_of(f)) == FILE_TYPE_DISK;
}

void close_file(File f) {
  if (f.open()) CloseHandle(handle_of(f));
}

int path_kind(const std::string& path, Kind* k) {
  if (int e = fault_hit(kCallKind)) return e;
  // Opened for its attributes only, links followed; a folder needs backup semantics.
  HANDLE h = CreateFileW(to_wide(path).c_str(), FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  BY_HANDLE_FILE_INFORMATION info;
  int e = 0;
  if (!GetFileInformationByHandle(h, &info)) {
    e = static_cast<int>(GetLastError());
  } else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
    *k = Kind::kFolder;
  } else {
    *k = GetFileType(h) == FILE_TYPE_DISK ? Kind::kFile : Kind::kOther;
  }
  CloseHandle(h);
  return e;
}

int folder_open(const std::string& path, FolderList** d) {
  if (int e = fault_hit(kCallFolderOpen)) return e;
  return list_folder(to_wide(path), d);
}

int folder_open_below(FolderList* parent, const std::string& name, FolderList** d) {
  if (int e = fault_hit(kCallFolderOpen)) return e;
  std::wstring path = below(parent, name);
  // The name itself, a reparse point not followed: a link or junction swapped in for the
  // folder is refused, not listed.
  HANDLE h = CreateFileW(
      path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  Kind k = Kind::kOther;
  int e = handle_kind(h, &k);
  CloseHandle(h);
  if (e) return e;
  if (k == Kind::kLink) return ERROR_CANT_ACCESS_FILE;
  if (k != Kind::kFolder) return ERROR_DIRECTORY;
  return list_folder(std::move(path), d);
}

int open_below(FolderList* dir, const std::string& name, bool follow, File* f) {
  if (int e = fault_hit(kCallOpen)) return e;
  DWORD flags = FILE_FLAG_SEQUENTIAL_SCAN | (follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  HANDLE h = CreateFileW(below(dir, name).c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, flags, nullptr);
  if (h == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  *f = file_of(h);
  return 0;
}

int kind_below(FolderList* dir, const std::string& name, Kind* k) {
  std::wstring w = below(dir, name);
  return path_kind(to_utf8(w.data(), w.size()), k);
}

int file_kind(File f, Kind* k) {
  if (int e = fault_hit(kCallFileKind)) return e;
  return handle_kind(handle_of(f), k);
}

int start_thread(std::thread* t, std::function<void()> run) {
  if (int e = fault_hit(kCallThread)) return e;
  try {
    *t = std::thread(std::move(run));
  } catch (const std::system_error& e) {
    return e.code().value() ? e.code().value() : ERROR_NOT_ENOUGH_MEMORY;
  }
  return 0;
}

int folder_next(FolderList* d, FolderEntry* e, bool* end) {
  *end = false;
  if (int err = fault_hit(kCallFolderNext)) return err;
  for (;;) {
    if (!d->pending) {
      if (d->find == INVALID_HANDLE_VALUE || !FindNextFileW(d->find, &d->data)) {
        DWORD err = d->find == INVALID_HANDLE_VALUE ? ERROR_NO_MORE_FILES : GetLastError();
        *end = true;
        return err == ERROR_NO_MORE_FILES ? 0 : static_cast<int>(err);
      }
    }
    d->pending = false;
    const wchar_t* n = d->data.cFileName;
    if (n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0))) continue;
    e->name = to_utf8(n, wcslen(n));
    e->error = 0;
    DWORD a = d->data.dwFileAttributes;
    if (is_link(a, d->data.dwReserved0)) {
      e->kind = Kind::kLink;
    } else if (a & FILE_ATTRIBUTE_DIRECTORY) {
      e->kind = Kind::kFolder;
    } else if (a & FILE_ATTRIBUTE_DEVICE) {
      e->kind = Kind::kOther;
    } else {
      e->kind = Kind::kFile;
    }
    return 0;
  }
}

void folder_close(FolderList* d) {
  if (d->find != INVALID_HANDLE_VALUE) FindClose(d->find);
  delete d;
}

char path_separator() {
  return '\\';
}

std::string join_path(const std::string& folder, const std::string& name) {
  std::string path = folder;
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
  path += name;
  return path;
}

int write_stream(Stream s, const void* buf, std::size_t n) {
  if (int e = fault_hit(kCallStream)) return e;
  HANDLE h = std_handle(s);
  return is_console(h) ? write_console(h, buf, n) : write_handle(h, buf, n);
}

bool is_terminal(Stream s) {
  return is_console(std_handle(s));
}

bool is_broken_pipe(int err) {
  return err == ERROR_BROKEN_PIPE || err == ERROR_NO_DATA || err == ERROR_PIPE_NOT_CONNECTED;
}

std::string error_text(int err) {
  wchar_t buf[512];
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           static_cast<DWORD>(err), 0, buf, 512, nullptr);
  // One line: the message's own line breaks become spaces, its final one goes.
  while (n > 0 && (buf[n - 1] == L'\r' || buf[n - 1] == L'\n' || buf[n - 1] == L' ')) --n;
  for (DWORD i = 0; i < n; ++i) {
    if (buf[i] == L'\r' || buf[i] == L'\n') buf[i] = L' ';
  }
  if (n == 0) return "error " + std::to_string(err);
  return to_utf8(buf, n);
}

}  // namespace cuelint
