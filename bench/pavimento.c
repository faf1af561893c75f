/* pavimento [-s] FILE...: the floor a whole installer run is measured
 * against. Copied into a fresh folder and started there like the installer,
 * it finds its folder the same way (the link /proc/self/exe) and leaves in
 * it a copy of each FILE: one read to have the bytes, then one create and
 * one write under the final name; no temporary file, no rename. With -s it
 * also makes them survive a power cut as the installer does: each file
 * flushed (fdatasync) after its write, and the folder (fsync) after the
 * last. Plain C with no C++ runtime, so that a start costs what any C
 * program's costs. */
#define _POSIX_C_SOURCE 200809L

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static int fallisci(const char *nome) {
  fprintf(stderr, "pavimento: %s: %s\n", nome, strerror(errno));
  return 3;
}

/* Reads the whole file into a buffer of its size; NULL on failure. */
static char *leggi(const char *nome, size_t *dimensione) {
  struct stat st;
  const int fd = open(nome, O_RDONLY | O_CLOEXEC);
  if (fd < 0 || fstat(fd, &st) != 0) return NULL;
  const size_t n = (size_t)st.st_size;
  char *bytes = malloc(n > 0 ? n : 1);
  size_t letti = 0;
  while (bytes != NULL && letti < n) {
    const ssize_t r = read(fd, bytes + letti, n - letti);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      free(bytes);
      bytes = NULL;
      if (r == 0) errno = EIO; /* the file got shorter */
      break;
    }
    letti += (size_t)r;
  }
  close(fd);
  *dimensione = n;
  return bytes;
}

/* Writes the bytes in one call (one the kernel cuts short is resumed),
 * flushed to the disk if `consolida`. */
static int scrivi(const char *percorso, const char *bytes, size_t n, int consolida) {
  const int fd = open(percorso, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return -1;
  size_t scritti = 0;
  while (scritti < n) {
    const ssize_t w = write(fd, bytes + scritti, n - scritti);
    if (w < 0 && errno == EINTR) continue;
    if (w < 0) {
      const int e = errno;
      close(fd);
      errno = e;
      return -1;
    }
    scritti += (size_t)w;
  }
  if (consolida && fdatasync(fd) != 0) {
    const int e = errno;
    close(fd);
    errno = e;
    return -1;
  }
  return close(fd);
}

/* The folder's names on the disk. */
static int consolida_cartella(const char *cartella) {
  const int fd = open(cartella, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return -1;
  const int esito = fsync(fd);
  const int e = errno;
  close(fd);
  errno = e;
  return esito;
}

int main(int argc, char **argv) {
  const int consolida = argc > 1 && strcmp(argv[1], "-s") == 0;
  const int primo = 1 + consolida;
  if (argc <= primo) {
    fputs("uso: pavimento [-s] FILE...\n", stderr);
    return 64;
  }
  char cartella[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", cartella, sizeof cartella - 1);
  if (n <= 0) return fallisci("/proc/self/exe");
  cartella[n] = '\0';
  *strrchr(cartella, '/') = '\0'; /* the link is an absolute path */

  for (int i = primo; i < argc; ++i) {
    const char *barra = strrchr(argv[i], '/');
    const char *nome = barra != NULL ? barra + 1 : argv[i];
    char percorso[PATH_MAX];
    if (snprintf(percorso, sizeof percorso, "%s/%s", cartella, nome) >= (int)sizeof percorso) {
      errno = ENAMETOOLONG;
      return fallisci(nome);
    }
    size_t dimensione = 0;
    char *bytes = leggi(argv[i], &dimensione);
    if (bytes == NULL) return fallisci(argv[i]);
    if (scrivi(percorso, bytes, dimensione, consolida) != 0) return fallisci(percorso);
    free(bytes);
  }
  if (consolida && consolida_cartella(cartella) != 0) return fallisci(cartella);
  return 0;
}
