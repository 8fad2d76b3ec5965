#pragma once

#include "FileSystem.h"

#include <sys/stat.h>
#include <sys/types.h>

// The system calls below the real file system. Tests replace them to make the
// system answer as it rarely does: short transfers, EINTR, nothing moved.
struct SystemCalls {
    int (*open)(const char* path, int flags);
    int (*fstat)(int fd, struct stat* status);
    int (*stat)(const char* path, struct stat* status);
    int (*flock)(int fd, int operation);
    int (*fallocate)(int fd, int mode, off_t offset, off_t length);
    ssize_t (*pread)(int fd, void* buffer, size_t count, off_t offset);
    ssize_t (*pwrite)(int fd, const void* buffer, size_t count, off_t offset);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*access)(const char* path, int mode);
    int (*create)(const char* path, int flags, mode_t mode);
    int (*rename)(const char* from, const char* to);
    int (*unlink)(const char* path);
};

// The calls of the C library.
SystemCalls posixCalls();

// The real file system over `calls`.
std::shared_ptr<FileSystem> realFileSystem(const SystemCalls& calls);
