// The platform layer on POSIX systems.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "errcodes.h"
#include "platform.h"
#include "platform_faults.h"

namespace {

int g_argc;
char** g_argv;

// A missing file is 2; a missing folder on the way to it is 3.
int missing_code(const char* name) {
  const char* slash = std::strrchr(name, '/');
  if (slash == nullptr || slash == name) return kErrFileNotFound;
  char dir[512];
  size_t n = static_cast<size_t>(slash - name);
  if (n >= sizeof dir) return kErrPathNotFound;
  std::memcpy(dir, name, n);
  dir[n] = '\0';
  struct stat st;
  if (stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) return kErrPathNotFound;
  return kErrFileNotFound;
}

// The program's code for a system error; `name` is the file being opened, if any.
int error_code(int err, const char* name, bool writing) {
  switch (err) {
    case ENOENT:
      return name != nullptr ? missing_code(name) : kErrFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return kErrPathNotFound;
    case EMFILE:
    case ENFILE:
      return kErrTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBUSY:
    case EWOULDBLOCK:
      return kErrAccessDenied;
    case EBADF:
      return kErrInvalidHandle;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kErrDiskWrite;
    case EIO:
      return writing ? kErrDiskWrite : kErrDiskRead;
    default:
      return err;
  }
}

// Writes all n bytes to fd, going on after short writes and interruptions. 0, or the
// system's error number (ENOSPC for a write that stores nothing).
int write_all(int fd, const void* buf, size_t n) {
  const char* p = static_cast<const char*>(buf);
  while (n > 0) {
    ssize_t w = write(fd, p, n);
    if (w > 0) {
      p += w;
      n -= static_cast<size_t>(w);
    } else if (w == 0) {
      return ENOSPC;
    } else if (errno != EINTR) {
      return errno;
    }
  }
  return 0;
}

// Exclusive use: a lock held by another open file fails with 5. File systems without
// locks are used unlocked.
int lock_exclusive(int fd) {
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return kErrAccessDenied;
    return 0;
  }
  return 0;
}

int fd_of(PlatFile f) {
  return static_cast<int>(f.h);
}

}  // namespace

ConsoleStart plat_start(int argc, char** argv) {
  g_argc = argc;
  g_argv = argv;
  if (fcntl(1, F_GETFD) == -1) return kConsoleNoHandle;
  signal(SIGPIPE, SIG_IGN);  // a closed pipe must not kill the run
  return kConsoleReady;
}

const char* plat_arg(int n) {
  return n >= 0 && n < g_argc ? g_argv[n] : nullptr;
}

int plat_open_read(const char* name, PlatFile* f) {
  *f = kNoFile;
  if (int e = fault_hit(kCallOpen)) return error_code(e, name, false);
  int fd = open(name, O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return error_code(errno, name, false);
  struct stat st;
  if (fstat(fd, &st) != 0) {
    int code = error_code(errno, name, false);
    close(fd);
    return code;
  }
  if (S_ISDIR(st.st_mode)) {  // Linux opens folders for reading; the program cannot
    close(fd);
    return kErrAccessDenied;
  }
  if (int code = lock_exclusive(fd)) {
    close(fd);
    return code;
  }
  *f = PlatFile{fd};
  return 0;
}

int plat_create_write(const char* name, PlatFile* f) {
  *f = kNoFile;
  if (int e = fault_hit(kCallCreate)) return error_code(e, name, true);
  // The report is written only into a regular file of this folder: a link there is not
  // followed (in a folder others can write to, it could point at any file of the user's),
  // and a FIFO or a device is neither waited on nor written. Any of them: access denied,
  // as for a file that cannot be created.
  int fd = open(name, O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK, 0666);
  if (fd < 0) {
    if (errno == ELOOP || errno == ENXIO) return kErrAccessDenied;  // a link; a FIFO unread
    return error_code(errno, name, true);
  }
  struct stat st;
  if (fstat(fd, &st) != 0) {
    int code = error_code(errno, name, true);
    close(fd);
    return code;
  }
  if (!S_ISREG(st.st_mode)) {
    close(fd);
    return kErrAccessDenied;
  }
  if (int code = lock_exclusive(fd)) {
    close(fd);
    return code;
  }
  if (ftruncate(fd, 0) != 0) {
    int code = error_code(errno, name, true);
    close(fd);
    return code;
  }
  *f = PlatFile{fd};
  return 0;
}

int plat_read(PlatFile f, void* buf, size_t cap, size_t* got) {
  *got = 0;
  if (int e = fault_hit(kCallRead)) return error_code(e, nullptr, false);
  cap = fault_read_cap(cap);
  for (;;) {
    ssize_t n = read(fd_of(f), buf, cap);
    if (n >= 0) {
      *got = static_cast<size_t>(n);
      return 0;
    }
    if (errno != EINTR) return error_code(errno, nullptr, false);
  }
}

int plat_write(PlatFile f, const void* buf, size_t n) {
  if (int e = fault_hit(kCallWrite)) return error_code(e, nullptr, true);
  int e = write_all(fd_of(f), buf, n);
  return e == 0 ? 0 : error_code(e, nullptr, true);
}

int plat_close(PlatFile f) {
  if (!plat_is_file(f)) return 0;
  int e = fault_hit(kCallClose);
  if (close(fd_of(f)) != 0 && e == 0 && errno != EINTR) e = errno;
  return e == 0 ? 0 : error_code(e, nullptr, true);
}

bool plat_console_is_device() {
  return isatty(1) == 1;
}

void plat_console_clear() {
  if (plat_console_is_device()) plat_console_write("\x1b[H\x1b[2J", 7);
}

const char* plat_console_line_end() {
  return "\n";
}

void plat_console_write(const void* buf, size_t n) {
  write_all(1, buf, n);
}

void plat_console_wait_line() {
  char c;
  for (;;) {
    ssize_t n = read(0, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || c == '\n') return;
  }
}

void plat_error_write(const char* text) {
  write_all(2, text, std::strlen(text));
}
