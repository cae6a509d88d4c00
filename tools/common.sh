# Shared by tools/run and tools/test: installs what is missing, configures and builds.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${VK3_BUILD_DIR:-$ROOT/build}"

PACKAGES=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev libsdl2-dev libsdl2-mixer-dev libxcb-randr0-dev
    libgtest-dev libbenchmark-dev libx11-dev xvfb
    nlohmann-json3-dev libyaml-cpp-dev
    fonts-liberation2 fonts-dejavu-core
)

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    else
        sudo "$@"
    fi
}

install_missing_packages() {
    install_missing_packages_only "${PACKAGES[@]}" "$@"
}

# Installs what is missing of exactly the packages named.
install_missing_packages_only() {
    local missing=()
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$package")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    as_root apt-get update -qq
    as_root env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Cache entries (-D...) a script wants in its build folder, given to a new one and applied
# to an existing one.
CONFIGURE_OPTIONS=()

configure_and_build() {
    if [ ! -f "$BUILD/CMakeCache.txt" ]; then
        cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            ${CONFIGURE_OPTIONS[@]+"${CONFIGURE_OPTIONS[@]}"}
    elif [ ${#CONFIGURE_OPTIONS[@]} -gt 0 ]; then
        cmake "$BUILD" "${CONFIGURE_OPTIONS[@]}" >/dev/null
    fi
    cmake --build "$BUILD" --parallel "$(nproc)" "$@"
}

# The clang build with AddressSanitizer and UndefinedBehaviorSanitizer, shared by the fuzz
# targets (tools/fuzz) and the core tests run under them (tools/test): the core is compiled
# once for both.
FUZZ_BUILD="${VK3_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
configure_fuzz_build() {
    install_missing_packages clang libclang-rt-14-dev
    if [ ! -f "$FUZZ_BUILD/CMakeCache.txt" ]; then
        CC=clang CXX=clang++ cmake -S "$ROOT" -B "$FUZZ_BUILD" -G Ninja \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVK3_FUZZ=ON -DVK3_BUILD_BENCHMARKS=OFF
    elif grep -q '^VK3_BUILD_TESTS:BOOL=OFF' "$FUZZ_BUILD/CMakeCache.txt"; then
        cmake "$FUZZ_BUILD" -DVK3_BUILD_TESTS=ON >/dev/null  # made before it held the tests
    fi
}
