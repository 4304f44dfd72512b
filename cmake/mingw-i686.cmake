# The 32-bit Windows console program.
set(PRIMES_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
