#!/usr/bin/env bash
# Installs what is missing, builds, and starts jxc on the embedded demo company.
set -euo pipefail
JXC_ROOT=$(cd "$(dirname "$0")" && pwd)
. "$JXC_ROOT/tools/deps.sh"
jxc_install_deps
jxc_build "$JXC_ROOT/build"
exec "$JXC_ROOT/build/jxc" "$@"
