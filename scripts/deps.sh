#!/usr/bin/env bash
# Installs the Debian packages the build, the editor and the tests need, when
# any is missing. Sourced by run.sh and test.sh.
kz_install_missing() {
    # One query for every package, so a machine that has them all is done at
    # once. A name may carry an architecture (wine32:i386).
    local installed
    installed=" $(dpkg-query -W -f='${db:Status-Status} ${Package} ${Package}:${Architecture}\n' \
        "$@" 2>/dev/null | awk '$1 == "installed" { printf "%s %s ", $2, $3 }')"
    local missing=()
    local p
    for p in "$@"; do
        [[ "$installed" == *" $p "* ]] || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    # Packages of another architecture need it added before the update.
    local arch
    for arch in $(printf '%s\n' "${missing[@]}" | sed -n 's/^[^:]*:\(.*\)$/\1/p' | sort -u); do
        if [ "$arch" != "$(dpkg --print-architecture)" ] &&
            ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
            $sudo dpkg --add-architecture "$arch"
        fi
    done
    # Another apt run (a second developer's, an unattended upgrade) holds the
    # lock for a while: wait for it rather than fail.
    local wait=(-o DPkg::Lock::Timeout=600)
    $sudo apt-get "${wait[@]}" update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get "${wait[@]}" install -y -qq \
        --no-install-recommends "${missing[@]}"
}

# What building and running the editor needs.
KZ_BUILD_PACKAGES=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
    qt6-translations-l10n # Qt's stock dialogs in Japanese, loaded at start-up
    libicu-dev
    libarchive-dev # the disc image's ISO 9660 writer
    fonts-ipafont-gothic fonts-ipafont-mincho
    xdg-utils
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 # AutoRun.exe, cross-built
)
# What the tests, fuzzers and benchmarks need on top.
KZ_TEST_PACKAGES=(
    clang libclang-rt-14-dev clang-format
    libbenchmark-dev
    poppler-utils
    xorriso # reads the disc images back; the benchmark's yardstick
    wine64 wine32:i386 xvfb xauth xdotool imagemagick
    desktop-file-utils appstream man-db # the installed menu entry, metainfo and manual pages
    adwaita-icon-theme # the file types' icons the icon tests offer for documents
)
# What building the Debian package needs on top of the build: cpack's
# shlibdeps runs dpkg-shlibdeps on what `file` says is an executable.
KZ_PACKAGE_PACKAGES=(dpkg-dev file)
