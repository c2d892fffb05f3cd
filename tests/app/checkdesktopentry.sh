#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs desktop-file-validate on the desktop entry given: errors and warnings fail, hints do not. Exits 77
# (skipped) where the tool is not installed.
command -v desktop-file-validate >/dev/null 2>&1 || {
    echo "desktop-file-validate is not installed (Debian package desktop-file-utils)"
    exit 77
}
report=$(desktop-file-validate "$1")
status=$?
[ -n "$report" ] && printf '%s\n' "$report"
[ "$status" -eq 0 ] || exit 1
if printf '%s\n' "$report" | grep -q -e 'error:' -e 'warning:'; then
    exit 1
fi
exit 0
