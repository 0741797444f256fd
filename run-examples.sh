#!/usr/bin/env bash
# Compresses a fresh copy of examples/ with the vexel command and shows the log
# and a table of page sizes before and after.
#   VEXEL_BUILD_DIR   build folder to use (default build/native, the native preset's)
set -euo pipefail
cd "$(dirname "$0")"

build=${VEXEL_BUILD_DIR:-build/native}

scripts/install-deps.sh native
cmake --preset native -B "$build" >/dev/null
cmake --build "$build" --target vexel

rm -rf out/examples
mkdir -p out
cp -R examples out/examples

echo
echo "== vexel compress --recursive out/examples"
status=0
"$build/cli/vexel" compress --recursive --log out/examples.log out/examples || status=$?

echo
echo "== Sizes"
printf '%-36s %10s %10s %7s\n' page before after ratio
total_before=0
total_after=0
while IFS= read -r page; do
    name=${page#out/examples/}
    before=$(wc -c <"examples/$name")
    after=$(wc -c <"$page")
    total_before=$((total_before + before))
    total_after=$((total_after + after))
    printf '%-36s %10d %10d %6d%%\n' "$name" "$before" "$after" $((after * 100 / before))
done < <(find out/examples -type f \( -iname '*.htm' -o -iname '*.html' \) | LC_ALL=C sort)
printf '%-36s %10d %10d %6d%%\n' total "$total_before" "$total_after" $((total_after * 100 / total_before))
echo
echo "Log: out/examples.log; backups beside each page (*_backup)."
exit $status
