#!/bin/sh
# Installs the Debian packages that building, running and testing Quillora need.
# Idempotent: when every package is already installed it returns at once.
set -eu

BUILD="build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools \
libzip-dev libpugixml-dev libhunspell-dev libgl-dev python3"
RUN="hunspell-hu fonts-liberation fonts-crosextra-carlito fonts-crosextra-caladea \
shared-mime-info desktop-file-utils qt6-translations-l10n"
TEST="xvfb xauth x11-utils libreoffice-writer-nogui python3 imagemagick poppler-utils clang libclang-rt-14-dev \
appstream desktop-file-utils dpkg-dev libxml2-utils"

want="$BUILD $RUN"
if [ "${1:-}" = "--with-tests" ]; then
    want="$want $TEST"
fi

missing=""
for p in $want; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing:$missing"
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
# shellcheck disable=SC2086
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
