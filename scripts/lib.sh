# Shared by the scripts: installs what the project needs and builds it.
# Sourced, not run.

set -euo pipefail

PROJECT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$PROJECT_DIR/build}
JOBS=${JOBS:-$(nproc)}

# Debian 12 packages: the build (TOML for the ship file; CLI11 for the study
# commands; the front end reads X11 events through libxcb's header and draws
# the sweep plot with Qt Charts), the tests (GUI tests run under Xvfb, the
# studio's screenshots with the small window manager openbox; the DXF
# test reads the drawing back with ezdxf; the clearance report's test reads the
# PDF back with poppler's pdfinfo, pdffonts, pdftotext and pdftoppm; the study
# tests read JSON with nlohmann-json), fonts for the plot and the report;
# fmt and fast_float, header-only, turn doubles into text and back.
REQUIRED_PACKAGES=(
  cmake g++ make pkg-config
  libtomlplusplus-dev libcli11-dev
  libgtest-dev libgmock-dev nlohmann-json3-dev
  qt6-base-dev qt6-svg-dev qt6-charts-dev libxcb1-dev
  fonts-liberation2 fonts-dejavu-core fontconfig
  xvfb xauth xdotool imagemagick poppler-utils openbox
  python3 python3-ezdxf
  dpkg-dev man-db
  libfmt-dev libfast-float-dev
)

# The studio in a browser (scripts/package --web) and its test in a real
# browser: Debian's emscripten and chromium.
WEB_PACKAGES=(emscripten chromium)

# The benchmarks (scripts/bench): Google Benchmark in-process, hyperfine for
# whole processes.
BENCH_PACKAGES=(libbenchmark-dev hyperfine)

# The Windows build (scripts/package --windows, and scripts/test, which runs
# it under Wine): Debian's mingw-w64 cross compiler with POSIX threads, Wine
# (wine64 for the 64-bit program) and zip for the package.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 zip unzip)

# The fuzz target (scripts/fuzz): clang and its libFuzzer and sanitizer runtimes.
FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)

# Installs the packages of "$@" that are missing, with their recommended
# packages (as on the machines the suite is proven on); apt-get update runs once,
# and only when something is missing.
install_packages() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# The scripts' builds compile each target's files a few at a time in one
# unit (CMake's unity build): on two cores that builds in about 60 % of the
# time. A name private to one file must therefore not be defined in another.
UNITY_BUILD=-DCMAKE_UNITY_BUILD=ON

# Builds the studio in a browser with emscripten into $WEB_BUILD_DIR
# (build-web/): the core as WebAssembly, then the one page
# propclear-studio.html that holds it, its script and the example.
build_web_page() {
  install_packages "${REQUIRED_PACKAGES[@]}" "${WEB_PACKAGES[@]}"
  local web_dir=${WEB_BUILD_DIR:-$PROJECT_DIR/build-web}
  # emscripten locks (and may add to) its cache of system libraries; where
  # Debian's is not writable, a copy of it in the build folder.
  if [ -z "${EM_CACHE:-}" ] && [ ! -w /usr/share/emscripten/cache ]; then
    export EM_CACHE=$web_dir/emscripten-cache
    [ -d "$EM_CACHE" ] || { mkdir -p "$web_dir" && cp -r /usr/share/emscripten/cache "$EM_CACHE"; }
  fi
  # emscripten's JavaScript optimizer needs Debian's acorn, which a Node.js
  # from elsewhere does not look for.
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
  emcmake cmake -S "$PROJECT_DIR" -B "$web_dir/cmake" -DCMAKE_BUILD_TYPE=Release \
    -DPROPCLEAR_WERROR=ON "$UNITY_BUILD" >/dev/null
  cmake --build "$web_dir/cmake" -j "$JOBS" --target propclear_studio
  python3 "$PROJECT_DIR/src/web/page/assemble.py" "$web_dir/cmake/propclear_studio.js" \
    "$PROJECT_DIR/examples/Norvalek.TSK" "$PROJECT_DIR/examples/Norvalek.ship.toml" \
    "$web_dir/propclear-studio.html"
}

# Configures and builds a Release build into $BUILD_DIR; extra CMake
# arguments may be given.
build_project() {
  cmake -S "$PROJECT_DIR" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DPROPCLEAR_WERROR=ON \
    "$UNITY_BUILD" "$@" >/dev/null
  cmake --build "$BUILD_DIR" -j "$JOBS"
}

# Cross-builds propclear.exe for 64-bit Windows into $WINDOWS_BUILD_DIR
# (build-win/), statically linked, without the desktop front end and the
# test suite; extra CMake arguments may be given.
WINDOWS_BUILD_DIR=${WINDOWS_BUILD_DIR:-$PROJECT_DIR/build-win}
build_windows() {
  cmake -S "$PROJECT_DIR" -B "$WINDOWS_BUILD_DIR" \
    -DCMAKE_TOOLCHAIN_FILE="$PROJECT_DIR/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DPROPCLEAR_WERROR=ON -DPROPCLEAR_BUILD_TESTS=OFF \
    -DPROPCLEAR_BUILD_GUI=OFF "$UNITY_BUILD" "$@" >/dev/null
  cmake --build "$WINDOWS_BUILD_DIR" -j "$JOBS" --target propclear
}
