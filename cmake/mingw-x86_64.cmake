# The 64-bit build of the same sources: wine64 runs it where the kernel runs
# no 32-bit code.
set(PRIMES_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
