// Files written whole or not at all, folders made with their parents, files
// read up to a limit: POSIX calls shared by every back end.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/os.h"

static int fail(char* error, size_t errorSize, const std::string& path) {
  int saved = errno;
  if (error && errorSize) std::snprintf(error, errorSize, "%s: %s", path.c_str(), strerror(saved));
  errno = saved;
  return 0;
}

int osMakeFolder(const char* path, char* error, size_t errorSize) {
  std::string p = path;
  for (size_t i = 1; i <= p.size(); i++) {
    if (i < p.size() && p[i] != '/') continue;
    std::string part = p.substr(0, i);
    if (::mkdir(part.c_str(), 0755) == 0 || errno == EEXIST) continue;
    return fail(error, errorSize, part);
  }
  struct stat st;
  if (::stat(path, &st) != 0) return fail(error, errorSize, p);
  if (!S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return fail(error, errorSize, p);
  }
  return 1;
}

// Creates the temporary file only where nothing stands: a leftover of an
// interrupted write, or a symbolic link planted there, is removed (never
// followed) and the creation tried once more.
static int createExclusive(const std::string& temp) {
  const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::open(temp.c_str(), flags, 0666);
  if (fd >= 0 || errno != EEXIST) return fd;
  if (::unlink(temp.c_str()) != 0) return -1;
  return ::open(temp.c_str(), flags, 0666);
}

static bool writeAll(int fd, const uint8_t* p, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    p += n;
    size -= (size_t)n;
  }
  return true;
}

// The rename is on the disk only once its folder is flushed too.
static void syncFolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + (slash == 0));
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

int osWriteFileAtomic(const char* path, const void* bytes, size_t size, char* error,
                      size_t errorSize) {
  std::string temp = std::string(path) + ".tmp";
  int fd = createExclusive(temp);
  if (fd < 0) return fail(error, errorSize, temp);
  bool ok = writeAll(fd, (const uint8_t*)bytes, size) && ::fsync(fd) == 0;
  int saved = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved = errno;
  }
  if (!ok || ::rename(temp.c_str(), path) != 0) {
    if (ok) saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    return fail(error, errorSize, ok ? std::string(path) : temp);
  }
  syncFolderOf(path);
  return 1;
}

long osReadFile(const char* path, void* buffer, size_t limit) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  size_t got = 0;
  while (got < limit) {
    ssize_t n = ::read(fd, (uint8_t*)buffer + got, limit - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += (size_t)n;
  }
  ::close(fd);
  return (long)got;
}
