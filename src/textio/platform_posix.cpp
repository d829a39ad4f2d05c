// POSIX implementation of the platform layer.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "textio/platform.h"

namespace {

// A missing file is 2; a missing folder on the way to it is 3.
int missing_code(const char* name) {
  const char* slash = std::strrchr(name, '/');
  if (slash == nullptr || slash == name) return 2;
  char dir[512];
  size_t n = static_cast<size_t>(slash - name);
  if (n >= sizeof dir) return 3;
  std::memcpy(dir, name, n);
  dir[n] = '\0';
  struct stat st;
  if (stat(dir, &st) != 0 || !S_ISDIR(st.st_mode)) return 3;
  return 2;
}

int error_code(int err, const char* name, bool writing) {
  switch (err) {
    case ENOENT:
      return name != nullptr ? missing_code(name) : 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
    case EBUSY:
    case EWOULDBLOCK:
      return 5;
    case EBADF:
      return 6;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return 101;
    case EIO:
      return writing ? 101 : 100;
    default:
      return err;
  }
}

// Exclusive use: a lock held by another open file fails with 5. File systems without
// locks are used unlocked.
int lock_exclusive(int fd) {
  while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return 5;
    return 0;
  }
  return 0;
}

}  // namespace

void plat_init() {
  signal(SIGPIPE, SIG_IGN);
}

int plat_open_read(const char* name, int* fd) {
  *fd = -1;
  int f = open(name, O_RDONLY | O_CLOEXEC | O_NOCTTY);
  if (f < 0) return error_code(errno, name, false);
  struct stat st;
  if (fstat(f, &st) != 0) {
    int code = error_code(errno, name, false);
    close(f);
    return code;
  }
  if (S_ISDIR(st.st_mode)) {  // Linux opens folders for reading; the program cannot
    close(f);
    return 5;
  }
  if (int code = lock_exclusive(f)) {
    close(f);
    return code;
  }
  *fd = f;
  return 0;
}

int plat_create_write(const char* name, int* fd) {
  *fd = -1;
  int f = open(name, O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  if (f < 0) return error_code(errno, name, true);
  if (int code = lock_exclusive(f)) {
    close(f);
    return code;
  }
  struct stat st;
  if (fstat(f, &st) == 0 && S_ISREG(st.st_mode) && ftruncate(f, 0) != 0) {
    int code = error_code(errno, name, true);
    close(f);
    return code;
  }
  *fd = f;
  return 0;
}

int plat_read(int fd, void* buf, size_t cap, size_t* got) {
  for (;;) {
    ssize_t n = read(fd, buf, cap);
    if (n >= 0) {
      *got = static_cast<size_t>(n);
      return 0;
    }
    if (errno != EINTR) {
      *got = 0;
      return error_code(errno, nullptr, false);
    }
  }
}

int plat_write(int fd, const void* buf, size_t n) {
  const char* p = static_cast<const char*>(buf);
  while (n > 0) {
    ssize_t w = write(fd, p, n);
    if (w > 0) {
      p += w;
      n -= static_cast<size_t>(w);
    } else if (w == 0) {
      return 101;
    } else if (errno != EINTR) {
      return error_code(errno, nullptr, true);
    }
  }
  return 0;
}

void plat_close(int fd) {
  if (fd >= 0) close(fd);
}

bool plat_stdout_open() {
  return fcntl(1, F_GETFD) != -1;
}

bool plat_stdout_is_tty() {
  return isatty(1) == 1;
}

void plat_stdout_write(const void* buf, size_t n) {
  const char* p = static_cast<const char*>(buf);
  while (n > 0) {
    ssize_t w = write(1, p, n);
    if (w > 0) {
      p += w;
      n -= static_cast<size_t>(w);
    } else if (w < 0 && errno == EINTR) {
      continue;
    } else {
      return;
    }
  }
}

void plat_stderr_write(const char* text) {
  size_t n = std::strlen(text);
  while (n > 0) {
    ssize_t w = write(2, text, n);
    if (w <= 0) {
      if (w < 0 && errno == EINTR) continue;
      return;
    }
    text += w;
    n -= static_cast<size_t>(w);
  }
}

void plat_wait_line() {
  char c;
  for (;;) {
    ssize_t n = read(0, &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || c == '\n') return;
  }
}
