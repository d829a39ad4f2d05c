// The platform layer on POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <system_error>

#include "platform.h"
#include "platform_faults.h"

namespace cuelint {

namespace {

int fd_of(File f) {
  return static_cast<int>(f.h);
}

Kind kind_of(mode_t m) {
  if (S_ISREG(m)) return Kind::kFile;
  if (S_ISDIR(m)) return Kind::kFolder;
  if (S_ISLNK(m)) return Kind::kLink;
  return Kind::kOther;
}

}  // namespace

struct FolderList {
  DIR* d;
};

std::vector<std::string> start(int argc, char** argv) {
  // A closed standard stream gets a stand-in that cannot be written, before a file opened
  // later takes its number and the report goes into it.
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) ::open("/dev/null", O_RDONLY);
  }
  // A reader that goes away must not kill the run: the write fails instead and the run
  // ends with its own status.
  ::signal(SIGPIPE, SIG_IGN);
  return std::vector<std::string>(argv, argv + argc);
}

int open_read(const std::string& path, File* f) {
  if (int e = fault_hit(kCallOpen)) return e;
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
  } while (fd == -1 && errno == EINTR);
  if (fd == -1) return errno;
  f->h = fd;
  return 0;
}

int open_stdin(File* f) {
  if (int e = fault_hit(kCallOpen)) return e;
  int fd = ::fcntl(0, F_DUPFD_CLOEXEC, 0);
  if (fd == -1) return errno;
  f->h = fd;
  return 0;
}

int open_temp(File* f) {
  if (int e = fault_hit(kCallTemp)) return e;
  // tmpfile() finds the folder and unlinks the name; the descriptor outlives its FILE.
  std::FILE* tmp = std::tmpfile();
  if (!tmp) return errno;
  int fd = ::fcntl(::fileno(tmp), F_DUPFD_CLOEXEC, 0);
  int e = errno;
  std::fclose(tmp);
  if (fd == -1) return e;
  f->h = fd;
  return 0;
}

int read_some(File f, void* buf, std::size_t cap, std::size_t* got) {
  *got = 0;
  if (int e = fault_hit(kCallRead)) return e;
  for (;;) {
    ssize_t n = ::read(fd_of(f), buf, cap);
    if (n >= 0) {
      *got = static_cast<std::size_t>(n);
      return 0;
    }
    if (errno != EINTR) return errno;
  }
}

static int write_fd(int fd, const void* buf, std::size_t n) {
  const char* p = static_cast<const char*>(buf);
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w > 0) {
      p += w;
      n -= static_cast<std::size_t>(w);
    } else if (w == 0) {
      return EIO;  // takes nothing and says nothing: no better word for it
    } else if (errno != EINTR) {
      return errno;
    }
  }
  return 0;
}

int write_file(File f, const void* buf, std::size_t n) {
  if (int e = fault_hit(kCallWrite)) return e;
  return write_fd(fd_of(f), buf, n);
}

int seek_to(File f, std::uint64_t pos) {
  if (int e = fault_hit(kCallSeek)) return e;
  if (::lseek(fd_of(f), static_cast<off_t>(pos), SEEK_SET) == -1) return errno;
  return 0;
}

bool can_seek(File f) {
  return ::lseek(fd_of(f), 0, SEEK_CUR) != -1;
}

void close_file(File f) {
  if (f.open()) ::close(fd_of(f));  // read-only or a scratch copy: nothing is lost
}

int path_kind(const std::string& path, Kind* k) {
  if (int e = fault_hit(kCallKind)) return e;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno;
  *k = kind_of(st.st_mode);
  return 0;
}

static int list_fd(int fd, FolderList** d) {
  if (fd == -1) return errno;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    int e = errno;
    ::close(fd);
    return e;
  }
  *d = new FolderList{dir};
  return 0;
}

static int open_retry(int at, const char* name, int flags) {
  int fd;
  do {
    fd = ::openat(at, name, flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  } while (fd == -1 && errno == EINTR);
  return fd;
}

int folder_open(const std::string& path, FolderList** d) {
  if (int e = fault_hit(kCallFolderOpen)) return e;
  return list_fd(open_retry(AT_FDCWD, path.c_str(), O_RDONLY | O_DIRECTORY), d);
}

int folder_open_below(FolderList* parent, const std::string& name, FolderList** d) {
  if (int e = fault_hit(kCallFolderOpen)) return e;
  return list_fd(open_retry(::dirfd(parent->d), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW),
                 d);
}

int open_below(FolderList* dir, const std::string& name, bool follow, File* f) {
  if (int e = fault_hit(kCallOpen)) return e;
  int fd = open_retry(::dirfd(dir->d), name.c_str(), O_RDONLY | (follow ? 0 : O_NOFOLLOW));
  if (fd == -1) return errno;
  // Regular files only are read from here on (file_kind): waiting was all it was for.
  int fl = ::fcntl(fd, F_GETFL);
  if (fl != -1) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
  f->h = fd;
  return 0;
}

int kind_below(FolderList* dir, const std::string& name, Kind* k) {
  if (int e = fault_hit(kCallKind)) return e;
  struct stat st;
  if (::fstatat(::dirfd(dir->d), name.c_str(), &st, 0) != 0) return errno;
  *k = kind_of(st.st_mode);
  return 0;
}

int file_kind(File f, Kind* k) {
  if (int e = fault_hit(kCallFileKind)) return e;
  struct stat st;
  if (::fstat(fd_of(f), &st) != 0) return errno;
  *k = kind_of(st.st_mode);
  return 0;
}

int start_thread(std::thread* t, std::function<void()> run) {
  if (int e = fault_hit(kCallThread)) return e;
  try {
    *t = std::thread(std::move(run));
  } catch (const std::system_error& e) {
    return e.code().value() ? e.code().value() : EAGAIN;
  }
  return 0;
}

int folder_next(FolderList* d, FolderEntry* e, bool* end) {
  *end = false;
  if (int err = fault_hit(kCallFolderNext)) return err;
  for (;;) {
    errno = 0;
    struct dirent* de = ::readdir(d->d);
    if (!de) {
      *end = true;
      return errno;
    }
    const char* n = de->d_name;
    if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
    e->name = n;
    e->error = 0;
    // The kind from the listing where the file system gives it, else by the folder's handle.
    switch (de->d_type) {
      case DT_REG:
        e->kind = Kind::kFile;
        return 0;
      case DT_DIR:
        e->kind = Kind::kFolder;
        return 0;
      case DT_LNK:
        e->kind = Kind::kLink;
        return 0;
      case DT_UNKNOWN:
        break;
      default:
        e->kind = Kind::kOther;
        return 0;
    }
    struct stat st;
    if (::fstatat(::dirfd(d->d), n, &st, AT_SYMLINK_NOFOLLOW) != 0) {
      e->error = errno;
      e->kind = Kind::kOther;
    } else {
      e->kind = kind_of(st.st_mode);
    }
    return 0;
  }
}

void folder_close(FolderList* d) {
  ::closedir(d->d);
  delete d;
}

char path_separator() {
  return '/';
}

std::string join_path(const std::string& folder, const std::string& name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

int write_stream(Stream s, const void* buf, std::size_t n) {
  if (int e = fault_hit(kCallStream)) return e;
  return write_fd(s == Stream::kOut ? 1 : 2, buf, n);
}

bool is_terminal(Stream s) {
  return ::isatty(s == Stream::kOut ? 1 : 2) == 1;
}

bool is_broken_pipe(int err) {
  return err == EPIPE;
}

std::string error_text(int err) {
  // strerror's buffer is shared; the workers ask too.
  static std::mutex m;
  std::lock_guard<std::mutex> lock(m);
  return std::strerror(err);
}

}  // namespace cuelint
