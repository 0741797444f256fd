#!/usr/bin/env bash
# apt-get update that rides out a mirror in the middle of a sync, and does not
# wait on one that stays broken.
#   scripts/apt-update.sh [--again]
# An index that fails to download is tried again some seconds later; when it
# fails the same way twice (the same errors, a stale index of one
# architecture, say), or after five tries, the update goes on with the
# indexes apt has (an install that truly lacks a package then fails and says
# which). An update is not repeated within the hour for the same package
# sources (a set-up calls this several times); --again forces it, after a
# package download failed.
#   VEXEL_APT_RETRY_PAUSE  seconds before the second try (default 10; later
#                          tries wait that much longer each)
set -uo pipefail
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
pause=${VEXEL_APT_RETRY_PAUSE:-10}

# apt's own folders and sources (APT_CONFIG may point it elsewhere).
eval "$(apt-config shell lists Dir::State::Lists/d sources Dir::Etc::SourceList/f parts Dir::Etc::SourceParts/d)"
stamp=${lists%/}/vexel-update.stamp
# What the lists were made from: the sources and the architectures.
fingerprint=$({ cat "$sources" "${parts%/}"/*.list "${parts%/}"/*.sources 2>/dev/null
                dpkg --print-architecture; dpkg --print-foreign-architectures
                apt-config dump APT::Architectures; } | sha256sum | cut -d' ' -f1)
if [ "${1:-}" != --again ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$fingerprint" ] &&
    [ -n "$(find "$stamp" -mmin -60)" ]; then
    echo "apt-get update: done already within the hour for these sources"
    exit 0
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
previous=""
for try in 1 2 3 4 5; do
    if "${sudo[@]}" apt-get update -q -o Acquire::Retries=3 2>&1 | tee "$log"; then
        echo "$fingerprint" | "${sudo[@]}" tee "$stamp" >/dev/null
        exit 0
    fi
    # The errors without what changes from one try to the next (the mirror's
    # address).
    errors=$(grep '^E: ' "$log" | sed 's/ *\[IP: [^]]*\]//' | sort)
    if [ -n "$errors" ] && [ "$errors" = "$previous" ]; then
        echo "apt-get update failed the same way twice; going on with the package indexes at hand:" >&2
        echo "$errors" >&2
        echo "$fingerprint" | "${sudo[@]}" tee "$stamp" >/dev/null
        exit 0
    fi
    previous=$errors
    echo "apt-get update failed (try $try of 5)" >&2
    [ "$try" -lt 5 ] && sleep $((try * pause))
done
echo "apt-get update kept failing; going on with the package indexes at hand" >&2
echo "$fingerprint" | "${sudo[@]}" tee "$stamp" >/dev/null
exit 0
