// The floor for a pass over a suite, as floor.c, with the flushes the tool makes: the copy P_tmp is on the
// disk (fdatasync of the copy, fsync of its folder) before P is opened for writing, and P is on the disk the
// same way before P_tmp is deleted; the backup's new P_1 is on the disk with its folder once the generations
// are shifted. Benchmarks of the tool compare their time with this, measured side by side.
//   cc -O2 -o floor_flush floor_flush.c
//   ./floor_flush backup  ROOT   shift four generations (P_4..P_1 -> P_5..P_2) and copy P to P_1 and flush it,
//                                for every *.vbp below ROOT
//   ./floor_flush rewrite ROOT   copy P to P_tmp and flush it, write P again from P_tmp and flush it, delete
//                                P_tmp, for every *.vbp below ROOT
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static char *files[100000];
static int count;

static void walk(const char *dir) {
  DIR *d = opendir(dir);
  if (!d) return;
  struct dirent *e;
  char p[4096];
  while ((e = readdir(d))) {
    if (e->d_name[0] == '.') continue;
    snprintf(p, sizeof p, "%s/%s", dir, e->d_name);
    struct stat st;
    if (stat(p, &st) != 0) continue;
    size_t n = strlen(p);
    if (S_ISDIR(st.st_mode))
      walk(p);
    else if (n > 4 && strcmp(p + n - 4, ".vbp") == 0 && count < 100000)
      files[count++] = strdup(p);
  }
  closedir(d);
}

static void copy(const char *from, const char *to, int flush) {
  char buf[65536];
  int in = open(from, O_RDONLY), out = open(to, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ssize_t k;
  while (in >= 0 && out >= 0 && (k = read(in, buf, sizeof buf)) > 0) write(out, buf, (size_t)k);
  if (flush && out >= 0) fdatasync(out);
  if (in >= 0) close(in);
  if (out >= 0) close(out);
  if (flush) {
    char dir[4200];
    snprintf(dir, sizeof dir, "%s", to);
    char *slash = strrchr(dir, '/');
    if (slash) *slash = 0;
    int d = open(slash ? dir : ".", O_RDONLY | O_DIRECTORY);
    if (d >= 0) {
      fsync(d);
      close(d);
    }
  }
}

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: floor_flush backup|rewrite ROOT\n");
    return 2;
  }
  walk(argv[2]);
  for (int i = 0; i < count; i++) {
    char a[4200], b[4200];
    if (strcmp(argv[1], "backup") == 0) {
      for (int k = 4; k >= 1; k--) {
        snprintf(a, sizeof a, "%s_%d", files[i], k);
        snprintf(b, sizeof b, "%s_%d", files[i], k + 1);
        if (access(a, F_OK) == 0) copy(a, b, 0);
      }
      snprintf(a, sizeof a, "%s_1", files[i]);
      copy(files[i], a, 1);
    } else {
      snprintf(a, sizeof a, "%s_tmp", files[i]);
      copy(files[i], a, 1);
      copy(a, files[i], 1);
      unlink(a);
    }
  }
  printf("%d project files\n", count);
  return 0;
}
