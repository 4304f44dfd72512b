// The prime search dialogue: ask how many primes to find, find them by trial
// division through every divisor up to the square root, report, ask again.
#include "app/prime_search.h"

#include <cmath>

#include "runtime/system.h"
#include "runtime/text_stream.h"

namespace app {

int32_t M, N, K, D, F, NUMP, LASTP, NUMOP;
int32_t NP[PrimeTableSize];
bool (*KeyPoll)() = nullptr;

namespace {

const rtl::ShortString Prompt = "m\xF8 prime search<=1646:";
constexpr long double Ln2 = 0.693147180559945309417232121458176568L;

int32_t Wrap(int64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}
int32_t WrappingAdd(int32_t a, int32_t b) {
  return Wrap(static_cast<int64_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b)));
}
int64_t ISqrt(int32_t n) {
  return static_cast<int64_t>(sqrtl(static_cast<long double>(n)));
}

// The search's end value, trunc(2·M·ln M + 2), with 2·M as a wrapping shift.
int64_t SearchBound() {
  int32_t twoM = Wrap(static_cast<int64_t>(static_cast<uint32_t>(M) << 1));
  long double lnM = Ln2 * log2l(static_cast<long double>(M));
  return static_cast<int64_t>(static_cast<long double>(twoM) * lnM + 2.0L);
}

// Candidates beyond the table are searched and reported but not recorded.
void Record(int32_t n, int32_t count) {
  if (n >= 0 && n < PrimeTableSize) NP[n] = count;
}

void WritePrimeLine(int32_t n) {
  rtl::TextRec& t = rtl::GetOutput();
  rtl::WriteSInt(0, t, n);
  rtl::IOCheck();
  rtl::WriteShortStr(0, t, " is PRIME!");
  rtl::IOCheck();
  rtl::WriteLnEnd(t);
  rtl::IOCheck();
}

}  // namespace

void SearchPrimes() {
  N = 1;
  for (;;) {
    N = WrappingAdd(N, 1);
    F = static_cast<int32_t>(ISqrt(N));
    const int32_t bound = F;
    for (K = 2; K <= bound; ++K) {
      D = Wrap(static_cast<int64_t>(static_cast<long double>(N) / static_cast<long double>(K)));
      if (static_cast<uint32_t>(K) * static_cast<uint32_t>(D) == static_cast<uint32_t>(N)) F = 0;
    }
    if (N > 0) {
      Record(N, 0);
      if (static_cast<int64_t>(F) == ISqrt(N)) {
        WritePrimeLine(N);
        NUMP = WrappingAdd(NUMP, 1);
        LASTP = N;
        Record(N, NUMP);
      }
    }
    if (F == 0) F = static_cast<int32_t>(ISqrt(N));
    NUMOP = WrappingAdd(NUMOP, F);
    if (NUMP == M) N = Wrap(SearchBound());
    if (KeyPoll && KeyPoll()) return;
    if (static_cast<int64_t>(N) >= SearchBound()) return;
  }
}

namespace {

void AskForCount() {
  rtl::TextRec& out = rtl::GetOutput();
  rtl::WriteShortStr(0, out, Prompt);
  rtl::IOCheck();
  rtl::WriteEnd(out);
  rtl::IOCheck();
  rtl::TextRec& in = rtl::GetInput();
  rtl::ReadSInt(in, M);
  rtl::IOCheck();
  rtl::ReadLnEnd(in);
  rtl::IOCheck();
}

void WriteSummary() {
  rtl::TextRec& t = rtl::GetOutput();
  rtl::WriteShortStr(0, t, "LastP=");
  rtl::IOCheck();
  rtl::WriteSInt(0, t, LASTP);
  rtl::IOCheck();
  rtl::WriteShortStr(0, t, " NumPtot=");
  rtl::IOCheck();
  rtl::WriteSInt(0, t, NUMP);
  rtl::IOCheck();
  rtl::WriteEnd(t);
  rtl::IOCheck();
  rtl::WriteShortStr(0, t, " NumOP=");
  rtl::IOCheck();
  rtl::WriteSInt(0, t, NUMOP);
  rtl::IOCheck();
  rtl::WriteLnEnd(t);
  rtl::IOCheck();
}

}  // namespace

void PrimeSearchDialogue() {
  do {
    LASTP = -1;
    NUMP = 0;
    NUMOP = 0;
    AskForCount();
    if (M > 0) SearchPrimes();
    WriteSummary();
  } while (M != 0);
}

}  // namespace app
