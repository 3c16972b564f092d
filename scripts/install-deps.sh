#!/usr/bin/env bash
# Installs the Debian packages of the given lists (one package a line;
# scripts/packages.txt when none is given) that are missing. As root (or with
# password-less sudo) it installs them; otherwise it prints the one command
# to run.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
[ $# -eq 0 ] && set -- "$here/packages.txt"
missing=()
for list in "$@"; do
  while read -r pkg; do
    case "$pkg" in ''|'#'*) continue ;; esac
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done < "$list"
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  sudo=""
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  sudo="sudo -n"
else
  sudo="none"
fi
if [ "$sudo" != none ]; then
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "Missing packages. Run:"
  echo "  sudo apt-get install -y ${missing[*]}"
  exit 1
fi
