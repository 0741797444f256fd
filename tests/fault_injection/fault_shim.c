/* A library for LD_PRELOAD that makes one system call fail for one named
 * file, so that tests can show what the vexel program does on a full disk or
 * a failing drive. Chosen by the environment:
 *
 *   VEXEL_FAIL_FILE   pattern (fnmatch) for the file's name, or its whole path
 *                     when the pattern holds a '/'
 *   VEXEL_FAIL_CALL   read, write, fsync, rename or unlink (unlinkat too), or several joined
 *                     by commas; rename covers every call that names a file
 *                     (rename, renameat, renameat2, link, linkat), matched on
 *                     the new name
 *   VEXEL_FAIL_AFTER  read and write: bytes that still get through (the call
 *                     that crosses the mark is cut short there); the others:
 *                     calls that still succeed. Default 0.
 *   VEXEL_FAIL_ERRNO  ENOSPC, EIO, EACCES, EPERM, EROFS or EDQUOT (default EIO)
 *
 * Every other call goes to the C library untouched. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <limits.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

enum { kRead = 1, kWrite = 2, kFsync = 4, kRename = 8, kUnlink = 16 };

static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static int configured;
static const char* pattern;
static int calls;
static long long after;
static int error_number = EIO;
static long long used; /* bytes or calls let through so far */

static void Configure(void) {
    if (configured) {
        return;
    }
    configured = 1;
    pattern = getenv("VEXEL_FAIL_FILE");
    const char* call = getenv("VEXEL_FAIL_CALL");
    if (pattern == NULL || call == NULL) {
        pattern = NULL;
        return;
    }
    if (strstr(call, "read")) calls |= kRead;
    if (strstr(call, "write")) calls |= kWrite;
    if (strstr(call, "fsync")) calls |= kFsync;
    if (strstr(call, "rename")) calls |= kRename;
    if (strstr(call, "unlink")) calls |= kUnlink;
    const char* n = getenv("VEXEL_FAIL_AFTER");
    after = n ? atoll(n) : 0;
    const char* e = getenv("VEXEL_FAIL_ERRNO");
    if (e != NULL) {
        if (!strcmp(e, "ENOSPC")) error_number = ENOSPC;
        else if (!strcmp(e, "EIO")) error_number = EIO;
        else if (!strcmp(e, "EACCES")) error_number = EACCES;
        else if (!strcmp(e, "EPERM")) error_number = EPERM;
        else if (!strcmp(e, "EROFS")) error_number = EROFS;
        else if (!strcmp(e, "EDQUOT")) error_number = EDQUOT;
    }
}

static int PathMatches(const char* path) {
    if (path == NULL) {
        return 0;
    }
    if (strchr(pattern, '/') == NULL) {
        const char* slash = strrchr(path, '/');
        path = slash ? slash + 1 : path;
    }
    return fnmatch(pattern, path, 0) == 0;
}

static int FdMatches(int fd) {
    char link[64];
    char path[PATH_MAX + 1];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, PATH_MAX);
    if (n <= 0) {
        return 0;
    }
    path[n] = '\0';
    /* A file renamed or removed since it was opened still counts. */
    char* deleted = strstr(path, " (deleted)");
    if (deleted != NULL && deleted[10] == '\0') {
        *deleted = '\0';
    }
    return PathMatches(path);
}

/* Whether a call of kind `call` on a matching file fails now; for byte calls,
 * how many of `want` bytes may pass (`allowed`). */
static int ShouldFail(int call, int matches, size_t want, size_t* allowed) {
    int fail = 0;
    pthread_mutex_lock(&lock);
    Configure();
    *allowed = want;
    if (pattern != NULL && (calls & call) && matches) {
        if (call == kRead || call == kWrite) {
            const long long left = after - used;
            if (left <= 0 && want > 0) {
                fail = 1;
            } else if ((long long)want > left) {
                *allowed = (size_t)left;
            }
            used += (long long)*allowed;
        } else if (used >= after) {
            fail = 1;
        } else {
            ++used;
        }
    }
    pthread_mutex_unlock(&lock);
    return fail;
}

static int Enabled(int call) {
    pthread_mutex_lock(&lock);
    Configure();
    const int enabled = pattern != NULL && (calls & call);
    pthread_mutex_unlock(&lock);
    return enabled;
}

#define REAL(name, type) ((type)dlsym(RTLD_NEXT, #name))

ssize_t read(int fd, void* buffer, size_t count) {
    size_t allowed = count;
    if (Enabled(kRead) && ShouldFail(kRead, FdMatches(fd), count, &allowed)) {
        errno = error_number;
        return -1;
    }
    return REAL(read, ssize_t (*)(int, void*, size_t))(fd, buffer, allowed);
}

ssize_t write(int fd, const void* data, size_t count) {
    size_t allowed = count;
    if (Enabled(kWrite) && ShouldFail(kWrite, FdMatches(fd), count, &allowed)) {
        errno = error_number;
        return -1;
    }
    return REAL(write, ssize_t (*)(int, const void*, size_t))(fd, data, allowed);
}

int fsync(int fd) {
    size_t allowed;
    if (Enabled(kFsync) && ShouldFail(kFsync, FdMatches(fd), 0, &allowed)) {
        errno = error_number;
        return -1;
    }
    return REAL(fsync, int (*)(int))(fd);
}

int fdatasync(int fd) {
    size_t allowed;
    if (Enabled(kFsync) && ShouldFail(kFsync, FdMatches(fd), 0, &allowed)) {
        errno = error_number;
        return -1;
    }
    return REAL(fdatasync, int (*)(int))(fd);
}

static int NameFails(const char* to) {
    size_t allowed;
    if (Enabled(kRename) && ShouldFail(kRename, PathMatches(to), 0, &allowed)) {
        errno = error_number;
        return 1;
    }
    return 0;
}

int rename(const char* from, const char* to) {
    return NameFails(to) ? -1 : REAL(rename, int (*)(const char*, const char*))(from, to);
}

int renameat(int from_dir, const char* from, int to_dir, const char* to) {
    return NameFails(to) ? -1
                         : REAL(renameat, int (*)(int, const char*, int, const char*))(from_dir, from, to_dir, to);
}

int renameat2(int from_dir, const char* from, int to_dir, const char* to, unsigned int flags) {
    return NameFails(to) ? -1
                         : REAL(renameat2, int (*)(int, const char*, int, const char*, unsigned int))(
                               from_dir, from, to_dir, to, flags);
}

int link(const char* from, const char* to) {
    return NameFails(to) ? -1 : REAL(link, int (*)(const char*, const char*))(from, to);
}

int linkat(int from_dir, const char* from, int to_dir, const char* to, int flags) {
    return NameFails(to) ? -1
                         : REAL(linkat, int (*)(int, const char*, int, const char*, int))(from_dir, from, to_dir,
                                                                                          to, flags);
}

int unlink(const char* path) {
    size_t allowed;
    if (Enabled(kUnlink) && ShouldFail(kUnlink, PathMatches(path), 0, &allowed)) {
        errno = error_number;
        return -1;
    }
    return REAL(unlink, int (*)(const char*))(path);
}

int unlinkat(int dir, const char* path, int flags) {
    size_t allowed;
    if (Enabled(kUnlink) && ShouldFail(kUnlink, PathMatches(path), 0, &allowed)) {
        errno = error_number;
        return -1;
    }
    return REAL(unlinkat, int (*)(int, const char*, int))(dir, path, flags);
}
