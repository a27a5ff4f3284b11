#!/usr/bin/env bash
# Installs what Vantrel needs on Debian 12 (or alike) when it is missing,
# then configures and builds it into build/.
#   scripts/setup.sh          packages to build and run
#   scripts/setup.sh --test   also the packages the tests need
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ cmake make pkg-config qt6-base-dev libqscintilla2-qt6-dev
          libcurl4-openssl-dev libgtest-dev libgmock-dev libbenchmark-dev fontconfig)
if [[ "${1:-}" == "--test" ]]; then
  packages+=(xvfb xdotool x11-utils libx11-dev iproute2 util-linux procps
             clang libfuzzer-14-dev libclang-rt-14-dev)
fi

as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# The captions are Chinese: bring a CJK font when none is installed.
if ! { command -v fc-list >/dev/null && [[ -n "$(fc-list :lang=zh family 2>/dev/null)" ]]; }; then
  missing+=(fonts-wqy-zenhei)
fi
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
