#!/usr/bin/env bash
# apt-get update that rides out a mirror in the middle of a sync: a few tries
# some seconds apart; if an index still fails, go on with the ones apt has
# (an install that truly lacks a package then fails and says which).
set -uo pipefail
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
for try in 1 2 3 4 5; do
    "${sudo[@]}" apt-get update -q -o Acquire::Retries=3 && exit 0
    echo "apt-get update failed (try $try of 5)" >&2
    [ "$try" -lt 5 ] && sleep $((try * 10))
done
echo "apt-get update kept failing; going on with the package indexes at hand" >&2
exit 0
