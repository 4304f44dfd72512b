/* The floor under the prime search dialogue as a whole process: the same
   prompt, the same long-double trial divisions (no early exit) and the same
   lines, one write per line, with no console or run-time beneath. */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static const char prompt[] = "m\xc3\xb8 prime search<=1646:";

static void WriteLine(const char* text, int length) {
  while (length > 0) {
    ssize_t n = write(1, text, (size_t)length);
    if (n <= 0) exit(1);
    text += n;
    length -= (int)n;
  }
}

/* One line of input, or -1 at its end. */
static int ReadCount(void) {
  char line[64];
  size_t used = 0;
  char c;
  while (read(0, &c, 1) == 1) {
    if (c == '\n') break;
    if (used + 1 < sizeof line) line[used++] = c;
  }
  line[used] = 0;
  return used ? atoi(line) : 0;
}

static long long ISqrt(int n) {
  return (long long)sqrtl((long double)n);
}

static long long SearchBound(int m) {
  return (long long)((long double)(2 * m) * (0.693147180559945309417232121458176568L * log2l((long double)m)) + 2.0L);
}

int main(void) {
  char text[96];
  int m;
  do {
    int lastP = -1, numP = 0, numOp = 0, n = 1;
    WriteLine(prompt, (int)strlen(prompt));
    m = ReadCount();
    while (m > 0) {
      ++n;
      int f = (int)ISqrt(n);
      const int bound = f;
      for (int k = 2; k <= bound; ++k) {
        int d = (int)((long double)n / (long double)k);
        if ((unsigned)k * (unsigned)d == (unsigned)n) f = 0;
      }
      if (f == ISqrt(n)) {
        WriteLine(text, snprintf(text, sizeof text, "%d is PRIME!\n", n));
        ++numP;
        lastP = n;
      }
      if (f == 0) f = (int)ISqrt(n);
      numOp += f;
      if (numP == m) n = (int)SearchBound(m);
      if (n >= SearchBound(m)) break;
    }
    WriteLine(text, snprintf(text, sizeof text, "LastP=%d NumPtot=%d NumOP=%d\n", lastP, numP, numOp));
  } while (m != 0);
  return 0;
}
