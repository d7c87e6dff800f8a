#!/usr/bin/env bash
# Installs the Debian packages the build, the editor and the tests need, when
# any is missing. Sourced by run.sh and test.sh.
kz_install_missing() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and running the editor needs.
KZ_BUILD_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    qt6-translations-l10n # Qt's stock dialogs in Japanese, loaded at start-up
    libicu-dev
    fonts-ipafont-gothic fonts-ipafont-mincho
    xdg-utils
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 # AutoRun.exe, cross-built
)
# What the tests, fuzzers and benchmarks need on top.
KZ_TEST_PACKAGES=(
    clang libclang-rt-14-dev clang-format
    libbenchmark-dev
    poppler-utils
    wine64 xvfb xauth xdotool imagemagick
)
