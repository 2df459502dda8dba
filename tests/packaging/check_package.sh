#!/usr/bin/env bash
# Has lintian check the Debian package: any error or warning fails. Given a build folder, the package
# is made from it into a temporary folder first. Without lintian the check is skipped (status 77).
#   check_package.sh BUILD_DIR | PACKAGE.deb
set -euo pipefail
command -v lintian >/dev/null || { echo "package check: lintian is not installed, skipped"; exit 77; }
deb="$1"
if [ -d "$1" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    (cd "$1" && cpack -G DEB -B "$work" >"$work/cpack.log") || { cat "$work/cpack.log" >&2; exit 1; }
    deb=$(ls "$work"/varolin_*.deb)
fi
# lintian says that it runs as root, which is no finding about the package.
lintian --fail-on error,warning --display-info "$deb" 2> >(grep -v 'running with root privileges' >&2) \
    || { echo "package check: lintian found errors or warnings in $(basename "$deb")" >&2; exit 1; }
echo "package check: lintian passed $(basename "$deb")"
