/* The least a search for the duplicates of one file costs: a recursive getdents64 walk, one
   fstatat per file, and for each regular file of the reference's size a comparison with the
   reference held in memory -- the first 4 KiB, the last 4 KiB, then the rest -- printing the
   paths of the copies. With a third argument "2" the comparisons run on a second thread while
   the walk goes on (the copies are then printed in the order they are compared).

     one-reference-duplicates REFERENCE FOLDER [2] */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

enum { kEndBlock = 4096, kBlock = 1 << 18, kMaxCandidates = 1 << 20 };

static char* reference;
static long referenceSize;
static dev_t referenceDevice;
static ino_t referenceInode;
static char block[kBlock];

static int sameRange(int file, long begin, long end) {
    for (long offset = begin; offset < end; offset += kBlock) {
        const long count = end - offset < kBlock ? end - offset : kBlock;
        if (pread(file, block, (size_t)count, offset) != count ||
            memcmp(block, reference + offset, (size_t)count) != 0) {
            return 0;
        }
    }
    return 1;
}

static int sameBody(int folder, const char* name) {
    const int file = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        return 0;
    }
    const long head = referenceSize < kEndBlock ? referenceSize : kEndBlock;
    const long tail = referenceSize - kEndBlock > head ? referenceSize - kEndBlock : head;
    const int same = sameRange(file, 0, head) && sameRange(file, tail, referenceSize) &&
                     sameRange(file, head, tail);
    close(file);
    return same;
}

/* Candidates handed from the walk to the comparing thread. */
static char* candidates[kMaxCandidates];
static int firstWaiting;
static int candidateCount;
static int walkDone;
static int threaded;
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t changed = PTHREAD_COND_INITIALIZER;

static void* compareCandidates(void* unused) {
    (void)unused;
    for (;;) {
        pthread_mutex_lock(&lock);
        while (firstWaiting == candidateCount && !walkDone) {
            pthread_cond_wait(&changed, &lock);
        }
        if (firstWaiting == candidateCount) {
            pthread_mutex_unlock(&lock);
            return NULL;
        }
        char* path = candidates[firstWaiting++];
        pthread_mutex_unlock(&lock);
        if (sameBody(AT_FDCWD, path)) {
            puts(path);
        }
        free(path);
    }
}

static void offerCandidate(int folder, const char* name, const char* path) {
    if (!threaded) {
        if (sameBody(folder, name)) {
            puts(path);
        }
        return;
    }
    pthread_mutex_lock(&lock);
    if (candidateCount < kMaxCandidates) {
        candidates[candidateCount++] = strdup(path);
        pthread_cond_signal(&changed);
    }
    pthread_mutex_unlock(&lock);
}

static void walk(const char* path) {
    const int folder = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return;
    }
    char listing[1 << 16];
    long bytes;
    while ((bytes = syscall(SYS_getdents64, folder, listing, sizeof listing)) > 0) {
        for (long offset = 0; offset < bytes;) {
            const struct dirent64* entry = (const void*)(listing + offset);
            offset += entry->d_reclen;
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) {
                continue;
            }
            char child[4096];
            snprintf(child, sizeof child, "%s/%s", path, name);
            if (entry->d_type == DT_DIR) {
                walk(child);
                continue;
            }
            struct stat info;
            if (fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(info.st_mode) && info.st_size == referenceSize &&
                !(info.st_dev == referenceDevice && info.st_ino == referenceInode)) {
                offerCandidate(folder, name, child);
            }
        }
    }
    close(folder);
}

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && strcmp(argv[3], "2") == 0)) {
        fprintf(stderr, "usage: %s REFERENCE FOLDER [2]\n", argv[0]);
        return 2;
    }
    threaded = argc == 4;
    struct stat info;
    const int file = open(argv[1], O_RDONLY | O_CLOEXEC);
    if (file < 0 || fstat(file, &info) != 0) {
        perror(argv[1]);
        return 2;
    }
    referenceSize = info.st_size;
    referenceDevice = info.st_dev;
    referenceInode = info.st_ino;
    reference = malloc((size_t)referenceSize + 1);
    if (reference == NULL || read(file, reference, (size_t)referenceSize) != referenceSize) {
        perror(argv[1]);
        return 2;
    }
    close(file);
    pthread_t comparer;
    if (threaded && pthread_create(&comparer, NULL, compareCandidates, NULL) != 0) {
        return 2;
    }
    walk(argv[2]);
    if (threaded) {
        pthread_mutex_lock(&lock);
        walkDone = 1;
        pthread_cond_signal(&changed);
        pthread_mutex_unlock(&lock);
        pthread_join(comparer, NULL);
    }
    return 0;
}
