/* The least a content search costs on a cold disk: lists the tree under ROOT once, then reads
   every regular file whole on THREADS threads, each file with a first read of FIRST bytes and
   1 MiB reads after it, and prints only the byte count. No matching, no order.

     parallel-read THREADS FIRST ROOT      (for example 16 16384 /tmp/quillfen-bench/content) */
#define _GNU_SOURCE
#include <fcntl.h>
#include <ftw.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

enum { kChunk = 1 << 20, kMaxFiles = 1 << 20, kMaxThreads = 256 };

static char* files[kMaxFiles];
static int fileCount;
static atomic_int nextFile;
static atomic_long totalBytes;
static size_t firstRead;

static int collect(const char* path, const struct stat* info, int type, struct FTW* where) {
    (void)info;
    (void)where;
    if (type == FTW_F && fileCount < kMaxFiles) {
        files[fileCount++] = strdup(path);
    }
    return 0;
}

static void* readFiles(void* unused) {
    (void)unused;
    char* buffer = malloc(kChunk);
    long bytes = 0;
    for (;;) {
        const int index = atomic_fetch_add(&nextFile, 1);
        if (index >= fileCount) {
            break;
        }
        const int fd = open(files[index], O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        size_t wanted = firstRead > 0 && firstRead < kChunk ? firstRead : kChunk;
        ssize_t count;
        while ((count = read(fd, buffer, wanted)) > 0) {
            bytes += count;
            wanted = kChunk;
        }
        close(fd);
    }
    free(buffer);
    atomic_fetch_add(&totalBytes, bytes);
    return NULL;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: %s THREADS FIRST ROOT\n", argv[0]);
        return 2;
    }
    int threads = atoi(argv[1]);
    threads = threads < 1 ? 1 : threads > kMaxThreads ? kMaxThreads : threads;
    firstRead = (size_t)atol(argv[2]);
    if (nftw(argv[3], collect, 64, FTW_PHYS) != 0) {
        perror(argv[3]);
        return 1;
    }
    pthread_t workers[kMaxThreads];
    for (int i = 0; i < threads; ++i) {
        pthread_create(&workers[i], NULL, readFiles, NULL);
    }
    for (int i = 0; i < threads; ++i) {
        pthread_join(workers[i], NULL);
    }
    printf("%ld bytes in %d files\n", (long)atomic_load(&totalBytes), fileCount);
    return 0;
}
