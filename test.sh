#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless through CTest.
set -euo pipefail
JXC_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$JXC_ROOT/tools/deps.sh"
jxc_install_deps
jxc_build "$JXC_ROOT/build"
cd "$JXC_ROOT/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
