#!/usr/bin/env bash
# Checks that every CMake package the configure step found comes from a Debian
# package that tools/install-deps.sh names, or from a hard dependency
# (Depends, Pre-Depends) of one: a package that is only recommended is not
# installed on a fresh machine, where the installer uses
# --no-install-recommends.
#   tools/check-deps.sh [BUILD_DIR]       default: build
#   QZ_DEPS_WITHOUT="a b"                 leave these off the installer's list
#                                         (to see the check fail)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
CACHE=$BUILD/CMakeCache.txt
if [ ! -f "$CACHE" ]; then
  echo "check-deps: no $CACHE (configure first)" >&2
  exit 2
fi

mapfile -t named < <(bash tools/install-deps.sh --list)
for drop in ${QZ_DEPS_WITHOUT:-}; do
  for i in "${!named[@]}"; do
    [ "${named[$i]}" = "$drop" ] && unset 'named[$i]'
  done
done

# The named packages and everything they pull in for certain.
declare -A sure=()
while IFS= read -r line; do
  case "$line" in
    " "*|"") ;;
    *) sure["${line%%:*}"]=1 ;;
  esac
done < <(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
           --no-breaks --no-replaces --no-enhances "${named[@]}" 2>/dev/null)

configs=()
while IFS= read -r entry; do
  dir=${entry#*=}
  [ -d "$dir" ] || continue
  for config in "$dir"/*Config.cmake "$dir"/*-config.cmake; do
    [ -f "$config" ] && configs+=("$config")
  done
done < <(grep -E '^[A-Za-z0-9_]+_DIR:PATH=' "$CACHE" | sed 's/:PATH//')

# One dpkg query for all of them: "package[:arch][, package]: path".
declare -A owner=()
while IFS= read -r line; do
  path=${line##*: }
  pkg=${line%%: /*}
  pkg=${pkg%%,*}
  owner["$path"]=${pkg%%:*}
done < <(dpkg -S "${configs[@]}" 2>/dev/null || true)

status=0
checked=${#configs[@]}
for config in "${configs[@]}"; do
  pkg=${owner[$config]:-}
  if [ -z "$pkg" ]; then
    echo "check-deps: $config belongs to no Debian package" >&2
    status=1
  elif [ -z "${sure[$pkg]:-}" ]; then
    echo "check-deps: $config comes from $pkg, which tools/install-deps.sh neither names nor pulls in" >&2
    status=1
  fi
done

if [ "$status" -eq 0 ]; then
  echo "check-deps: the $checked CMake package configurations all come from installed dependencies"
fi
exit "$status"
