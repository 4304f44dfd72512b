# Installs the Debian packages a step needs, when any is missing. Sourced by run and test.
need_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
    dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  fi
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

BUILD_PACKAGES=(cmake make g++ libx11-dev libncurses-dev)
TEST_PACKAGES=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev tmux xvfb x11-utils xdotool imagemagick valgrind file
  xterm screen ncurses-term locales python3 time)
WINDOWS_PACKAGES=(g++-mingw-w64-i686 mingw-w64-i686-dev)
# The 64-bit build and wine64 check the same sources where 32-bit code cannot run.
WINDOWS64_PACKAGES=(g++-mingw-w64-x86-64 mingw-w64-x86-64-dev)
WINE_PACKAGES=(wine wine32:i386 wine64)

# The locales the terminal checks run the program in: UTF-8 and Latin-1.
need_test_locales() {
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  locale -a | grep -qix 'en_US.utf8' || $sudo localedef -i en_US -f UTF-8 en_US.UTF-8
  locale -a | grep -qix 'en_US.iso88591' || $sudo localedef -i en_US -f ISO-8859-1 en_US.ISO-8859-1
}

# Configures (once) and builds one build folder: configure_and_build DIR [cmake args...]
configure_and_build() {
  local dir=$1
  shift
  [ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" "$@" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}
