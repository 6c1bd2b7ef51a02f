#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need.
# Sourced by run.sh and test.sh; quick when everything is there already.
JXC_PACKAGES=(
    cmake g++ make pkg-config
    qtbase5-dev qtbase5-dev-tools
    libqt5sql5-sqlite libqt5sql5-odbc unixodbc-dev
    libsqlite3-dev
    fonts-wqy-microhei
    qttranslations5-l10n
)

jxc_install_deps() {
    local missing=()
    local p
    for p in "${JXC_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "These packages are missing; as root, run:" >&2
        echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
        return 1
    fi
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || return 1
    apt-get install -y -qq --no-install-recommends "${missing[@]}" || return 1
}

jxc_build() {
    local dir=$1
    cmake -S "$JXC_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DJXC_WARNINGS_AS_ERRORS="${CI:+ON}" >/dev/null || return 1
    cmake --build "$dir" -j"$(nproc)" || return 1
}
