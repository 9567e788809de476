#!/usr/bin/env bash
# install_and_build_client.sh CMAKE BUILD_DIR CLIENT_SOURCE CXXFLAGS
# Installs the build into a fresh prefix, builds the client project against
# the installed package, sets the platform up with the installed client on a
# fresh platform root and runs the client there. Everything lives in one
# temporary folder, removed at the end.
set -euo pipefail
cmake=$1 build=$2 client=$3 flags=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$cmake" --install "$build" --prefix "$work/prefix" >/dev/null
"$cmake" -S "$client" -B "$work/client" -G Ninja -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" >/dev/null
"$cmake" --build "$work/client" >/dev/null

export QZ_ROOT="$work/root" QZ_UI_HOST=stderr
"$work/prefix/bin/qzschemas" setup >/dev/null
"$work/client/schema_client"
