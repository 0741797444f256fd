#!/usr/bin/env bash
# A Debian virtual machine with a 32-bit Wine, for running the 32-bit Windows
# programs on a host whose kernel refuses 32-bit programs. The guest is made
# from Debian's packages alone and kept between runs; a run boots it under
# qemu-system-x86_64, shares the repository read-only at the same path
# (writes go to a layer in the guest's memory), gives it a results folder,
# runs one command there and powers off.
#
#   scripts/win32-vm.sh image              make the guest unless the cache has it
#                                          (status 3: the archive failed it)
#   scripts/win32-vm.sh run [--results DIR] [--time-limit SECONDS] -- COMMAND...
#                                          run COMMAND (bash, in the repository's
#                                          folder) in the guest; its exit status
#                                          is this script's (124: the time limit
#                                          ended it)
#   scripts/win32-vm.sh where              print the folder of the cached guest
#
# The guest (made by "image", as root: debootstrap and chroot):
#   - a root file system from the main archive of Debian's release (no
#     security suite, so that both architectures' versions always match) with
#     the i386 architecture, wine, wine32, wine64, xvfb, xdotool, cmake (ctest)
#     and imagemagick (screenshots), the kernel (linux-image-amd64) and an
#     initramfs of the modules for a virtio disk and ext4 alone;
#   - an ext4 disk image of it, made without mounting (mkfs.ext4 -d);
#   - a 32-bit Wine prefix (/root/.wine), made once by booting the image and
#     kept in it, drawing its own window frames with its Marlett font.
# It is kept in $VEXEL_VM_CACHE (default ~/.cache/vexel-win32-vm) in two
# stages, each in a folder named by the hash of its recipe (the functions and
# values marked so below): disk-HASH, the disk as debootstrap and mkfs made it,
# and guest-HASH, a copy of it with the prefix. A change to a recipe makes its
# stage (and the ones after it) again; older ones are removed.
#
# In the guest COMMAND finds WINEPREFIX (the kept prefix, WINEARCH=win32),
# VEXEL_VM_RESULTS (the results folder) and VEXEL_WINE_PREFIX_READY=1. The
# guest's disk is a snapshot: nothing a run does stays in the image. Its
# console (the kernel's lines, then COMMAND's output) is shown and kept in
# RESULTS/console.log.
#
# Settings (environment):
#   VEXEL_VM_CACHE     where the guest is kept
#   VEXEL_VM_MIRROR    the Debian archive (default: the host's apt's)
#   VEXEL_VM_CPUS      virtual CPUs (default: the host's cores, at most 4)
#   VEXEL_VM_MEMORY    MB of memory (default 4096)
#   VEXEL_VM_ACCEL     tcg or kvm (default: kvm where a short test boot shows
#                      it works, else tcg; the finding is kept in the cache)
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/.." && pwd)
cache=${VEXEL_VM_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/vexel-win32-vm}
cpus=${VEXEL_VM_CPUS:-$(( $(nproc) < 4 ? $(nproc) : 4 ))}
memory=${VEXEL_VM_MEMORY:-4096}

# ---- the recipe -----------------------------------------------------------

# disk recipe: the release and the packages of the guest.
release=bookworm
guest_packages=(wine wine32 wine64 libwine:i386 fonts-wine xvfb xauth xdotool x11-utils
                imagemagick cmake procps linux-image-amd64)
# disk recipe: the X client libraries and gnutls that Wine opens at run time
# (recommended, not required, by Wine), for both architectures.
guest_wine_libs=(libxrender1 libxrandr2 libxcursor1 libxi6 libxinerama1 libxcomposite1
                 libxfixes3 libxxf86vm1 libgnutls30)

# The archive the host's apt uses (its first Debian URI), else Debian's own.
mirror() {
    if [ -n "${VEXEL_VM_MIRROR:-}" ]; then
        echo "$VEXEL_VM_MIRROR"
        return
    fi
    local uri
    uri=$( (grep -hsE '^URIs:' /etc/apt/sources.list.d/*.sources | awk '{print $2}'
            grep -hsE '^deb ' /etc/apt/sources.list | awk '{print $2}') |
           grep -E '/debian/?$' | head -n 1 || true)
    echo "${uri:-http://deb.debian.org/debian}"
}

# disk recipe: the guest's init. No systemd: the file systems Wine and Xvfb need,
# the 9p and overlay modules, then the job the host put in the results share;
# the root read-only and the power off at the end, whatever the job did.
guest_init() {
    cat <<'INIT'
#!/bin/sh
export PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8
mountpoint -q /proc || mount -t proc proc /proc
mountpoint -q /sys || mount -t sysfs sys /sys
mountpoint -q /dev || mount -t devtmpfs dev /dev
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
mount -t tmpfs tmpfs /run
hostname vexel-vm
modprobe -a 9pnet_virtio 9p overlay
mkdir -p /results
if mount -t 9p -o trans=virtio,version=9p2000.L,msize=524288 results /results &&
   [ -f /results/.vm/job.sh ]; then
    echo "vexel-vm: up after $(cut -d' ' -f1 /proc/uptime) s"
    /bin/bash /results/.vm/job.sh < /dev/null
else
    echo "vexel-vm: no job in the results share"
fi
sync
mount -o remount,ro / 2>/dev/null
echo "vexel-vm: powering off after $(cut -d' ' -f1 /proc/uptime) s"
echo o > /proc/sysrq-trigger
sleep 60
INIT
}

# prefix recipe: the Wine prefix, made in the guest once: a 32-bit one, as
# on a 32-bit Windows, drawing window frames itself with its Marlett font (as
# scripts/wine-lib.sh sets up a prefix on the host).
guest_prefix_job() {
    cat <<'JOB'
# Wine's errors are shown (its fixme lines left out) and each step says how
# it ended, so that a prefix that fails says where.
export WINEPREFIX=/root/.wine WINEARCH=win32 WINEDEBUG=fixme-all WINEDLLOVERRIDES="mscoree,mshtml="
prefix_step() {
    local status=0
    "$@" || status=$?
    echo "vexel-vm: prefix: $* ended with $status after $(cut -d' ' -f1 /proc/uptime) s"
    return $status
}
rm -rf "$WINEPREFIX"
# Under a heavy load the making of the prefix can outlast the five minutes
# Wine's starter waits for it: the starter then gives up (status 53) while
# wineboot goes on. So its end is waited for, and the prefix counts as made
# when a program then starts without making it again.
prefix_step wineboot -i
prefix_step wineserver -w && prefix_step wine cmd /c ver &&
    prefix_step wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f &&
    prefix_step cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" &&
    prefix_step wineserver -w && wine --version > "$WINEPREFIX/.vexel-ready"
echo $? > /results/.vm/status
JOB
}

# The hashes of the two stages: the disk (root file system, kernel, init)
# and, over it, the prefix.
base_hash() {
    {
        echo "$release"
        echo "${guest_packages[*]}"
        echo "${guest_wine_libs[*]}"
        declare -f build_rootfs guest_init make_disk
    } | sha256sum | cut -c1-16
}
recipe_hash() {
    { base_hash; declare -f guest_prefix_job; } | sha256sum | cut -c1-16
}

# ---- making the guest -------------------------------------------------------

note() { echo "win32-vm: $*" >&2; }

in_chroot() {
    chroot "$1" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
        DEBIAN_FRONTEND=noninteractive LC_ALL=C "${@:2}"
}

unmount_chroot() {
    local m
    for m in dev/pts sys proc; do
        if mountpoint -q "$1/$m"; then umount "$1/$m"; fi
    done
}

# build_rootfs DIR: the root file system (as root).
build_rootfs() {
    local root=$1 archive lib libs=()
    archive=$(mirror)
    debootstrap --arch=amd64 --variant=minbase "$release" "$root" "$archive"
    echo "deb $archive $release main" > "$root/etc/apt/sources.list"
    # A small initramfs unpacks and boots much faster under emulation.
    mkdir -p "$root/etc/initramfs-tools/conf.d"
    printf '%s\n' virtio_pci virtio_blk ext4 >> "$root/etc/initramfs-tools/modules"
    echo MODULES=list > "$root/etc/initramfs-tools/conf.d/vexel-vm.conf"
    mount -t proc proc "$root/proc"
    mount -t sysfs sys "$root/sys"
    mount --bind /dev/pts "$root/dev/pts"
    in_chroot "$root" dpkg --add-architecture i386
    in_chroot "$root" apt-get update -q -o Acquire::Retries=5
    for lib in "${guest_wine_libs[@]}"; do libs+=("$lib:amd64" "$lib:i386"); done
    in_chroot "$root" apt-get install -y -q -o Acquire::Retries=5 --no-install-recommends \
        "${guest_packages[@]}" "${libs[@]}"
    in_chroot "$root" apt-get clean
    rm -rf "$root"/var/lib/apt/lists/*
    unmount_chroot "$root"
    guest_init > "$root/sbin/vexel-init"
    chmod 755 "$root/sbin/vexel-init"
}

# make_disk ROOT DIR: the kernel, the initramfs and the disk image (sparse;
# 2 GB free for the prefix and the runs' files).
make_disk() {
    local root=$1 dir=$2 size
    cp "$(ls "$root"/boot/vmlinuz-* | sort -V | tail -n 1)" "$dir/vmlinuz"
    cp "$(ls "$root"/boot/initrd.img-* | sort -V | tail -n 1)" "$dir/initrd.img"
    size=$(( $(du -sm "$root" | cut -f1) + 2048 ))
    mkfs.ext4 -q -F -L vexel-vm -d "$root" "$dir/disk.img" "${size}M"
}

# make_base DIR: the disk without the prefix.
make_base() {
    local dir=$1 work started=$SECONDS
    [ "$(id -u)" -eq 0 ] || { note "making the guest needs root (debootstrap, chroot)"; exit 1; }
    command -v debootstrap >/dev/null && command -v qemu-system-x86_64 >/dev/null ||
        { note "needs debootstrap and qemu-system-x86 (scripts/install-deps.sh all)"; exit 1; }
    work=$(mktemp -d "$cache/making.XXXXXX")
    # (A run stopped in the chroot leaves its mounts: undo them.)
    trap 'unmount_chroot "$work/root"; rm -rf --one-file-system "$work"' EXIT
    note "making the guest's disk in $dir (log: $work/make.log)"
    if ! build_rootfs "$work/root" > "$work/make.log" 2>&1; then
        tail -n 40 "$work/make.log" >&2
        note "the root file system could not be made from the archive"
        exit 3
    fi
    note "root file system: $((SECONDS - started)) s, $(du -sm "$work/root" | cut -f1) MB"
    mkdir -p "$work/disk"
    make_disk "$work/root" "$work/disk"
    base_hash > "$work/disk/recipe"
    rm -rf "$dir"
    mv "$work/disk" "$dir"
    rm -rf --one-file-system "$work"
    trap - EXIT
    note "disk made in $((SECONDS - started)) s"
}

# make_image BASE DIR: a copy of the disk with Wine's prefix made in it by a
# boot of the guest (its first start of Wine, kept).
make_image() {
    local base=$1 dir=$2 work started=$SECONDS
    work=$(mktemp -d "$cache/making.XXXXXX")
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/image" "$work/results/.vm"
    cp "$base/vmlinuz" "$base/initrd.img" "$work/image/"
    cp --sparse=always "$base/disk.img" "$work/image/disk.img"
    guest_prefix_job > "$work/results/.vm/job.sh"
    note "making Wine's prefix in the guest (log: $work/prefix.log)"
    if ! boot "$work/image" "$work/results" off 2400 > "$work/prefix.log" 2>&1 ||
       [ "$(cat "$work/results/.vm/status" 2>/dev/null)" != 0 ]; then
        tail -n 40 "$work/prefix.log" >&2
        note "the Wine prefix failed"
        exit 1
    fi
    recipe_hash > "$work/image/recipe"
    rm -rf "$dir"
    mv "$work/image" "$dir"
    rm -rf "$work"
    trap - EXIT
    note "Wine's prefix made in $((SECONDS - started)) s"
}

# ---- booting ----------------------------------------------------------------

# boot IMAGE_DIR RESULTS SNAPSHOT SECONDS [ACCEL]: boots the guest with the
# results share (and the repository's, when a job needs it); the console on
# standard output.
boot() {
    local dir=$1 results=$2 snapshot=$3 limit=$4 accel=${5:-$(accelerator "$1")} cpu
    if [ "$accel" = kvm ]; then cpu=host; else cpu=max,-smap; fi
    # -cpu max with SMAP killed every 32-bit Wine process (a page fault at an
    # iret in Wine's code, by all signs a fault of QEMU 7.2's TCG): without it.
    timeout --kill-after=10 "$limit" qemu-system-x86_64 \
        -machine q35 -accel "$accel" -cpu "$cpu" -smp "$cpus" -m "$memory" \
        -display none -monitor none -serial stdio -no-reboot -nic none \
        -kernel "$dir/vmlinuz" -initrd "$dir/initrd.img" \
        -append "console=ttyS0 root=/dev/vda rw init=/sbin/vexel-init panic=-1 quiet mitigations=off" \
        -drive "file=$dir/disk.img,format=raw,if=virtio,snapshot=$snapshot" \
        -virtfs "local,path=$results,mount_tag=results,security_model=none,id=results" \
        -virtfs "local,path=$repo,mount_tag=repo,security_model=none,id=repo,readonly=on" \
        < /dev/null
}

# accelerator IMAGE_DIR: kvm when a boot under KVM reaches the job within
# 30 seconds (on some hosts it hangs in the kernel's set-up), else tcg; asked
# once per cache, host kernel and QEMU.
accelerator() {
    if [ -n "${VEXEL_VM_ACCEL:-}" ]; then
        echo "$VEXEL_VM_ACCEL"
        return
    fi
    local key probe accel=tcg
    key="$cache/accel-$(uname -r)-$(qemu-system-x86_64 --version | head -n 1 | awk '{print $4}')"
    if [ ! -f "$key" ]; then
        if [ -r /dev/kvm ] && [ -w /dev/kvm ]; then
            probe=$(mktemp -d "$cache/probe.XXXXXX")
            mkdir -p "$probe/.vm"
            echo 'echo 0 > /results/.vm/status' > "$probe/.vm/job.sh"
            if boot "$1" "$probe" on 30 kvm > "$probe/console.log" 2>&1 &&
               [ "$(cat "$probe/.vm/status" 2>/dev/null)" = 0 ]; then
                accel=kvm
            fi
            rm -rf "$probe"
        fi
        echo "$accel" > "$key"
    fi
    cat "$key"
}

image_dir() { echo "$cache/guest-$(recipe_hash)"; }

ensure_image() {
    local dir base
    mkdir -p "$cache"
    dir=$(image_dir)
    base=$cache/disk-$(base_hash)
    exec 9> "$cache/lock"
    flock 9
    if [ ! -f "$dir/recipe" ]; then
        if [ ! -f "$base/recipe" ]; then
            # Disks of older recipes go.
            rm -rf --one-file-system "$cache"/disk-*
            make_base "$base"
        fi
        rm -rf --one-file-system "$cache"/guest-*
        make_image "$base" "$dir"
    fi
    flock -u 9
}

# run RESULTS LIMIT COMMAND...
run_job() {
    local results=$1 limit=$2 dir status
    shift 2
    ensure_image
    dir=$(image_dir)
    mkdir -p "$results"
    results=$(cd "$results" && pwd)
    rm -rf "$results/.vm"
    mkdir -p "$results/.vm"
    {
        # The repository at its host path, read-only; the guest's own writes
        # (build outputs of tests, ctest's records) go to a layer in memory.
        printf 'repo=%q\n' "$repo"
        printf 'limit=%q\n' "$((limit - 30))"
        printf 'command=%q\n' "$*"
        cat <<'JOB'
mkdir -p /mnt/repo /tmp/layer/upper /tmp/layer/work "$repo"
mount -t 9p -o trans=virtio,version=9p2000.L,msize=524288,ro,cache=loose repo /mnt/repo &&
    mount -t overlay overlay -o "lowerdir=/mnt/repo,upperdir=/tmp/layer/upper,workdir=/tmp/layer/work" "$repo" ||
    { echo "vexel-vm: the repository could not be mounted"; echo 125 > /results/.vm/status; exit; }
# (winedbg left out: a program that crashes ends with its exception, as in a
# test run on Windows, instead of waiting in Wine's debugger for a user; and
# winemenubuilder, which copies Start-menu links into the guest's desktop
# menus and records them in the registry, where the installer's test looks
# for traces of ours, as on the host.)
export WINEPREFIX=/root/.wine WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
export VEXEL_WINE_PREFIX_READY=1 VEXEL_VM_RESULTS=/results
cd "$repo"
timeout --kill-after=10 "$limit" bash -c "$command" 2>&1
echo $? > /results/.vm/status
JOB
    } > "$results/.vm/job.sh"
    note "booting ($(accelerator "$dir"), $cpus CPUs, at most $limit s): $*"
    boot "$dir" "$results" on "$limit" | tee "$results/console.log" || true
    status=$(cat "$results/.vm/status" 2>/dev/null || echo none)
    if [ "$status" = none ]; then
        note "the guest ended without the command's status (time limit of $limit s, or a crash)"
        return 1
    fi
    # (timeout's status: the command outlasted its time in the guest.)
    [ "$status" != 124 ] || note "the command outlasted the time limit of $limit s"
    return "$status"
}

case "${1:-}" in
    image) ensure_image; note "guest in $(image_dir)" ;;
    where) image_dir ;;
    run)
        shift
        results=build/win32-vm
        limit=3600
        while [ $# -gt 0 ]; do
            case $1 in
                --results) results=$2; shift 2 ;;
                --time-limit) limit=$2; shift 2 ;;
                --) shift; break ;;
                *) break ;;
            esac
        done
        [ $# -gt 0 ] || { sed -n '2,16p' "$0"; exit 2; }
        run_job "$results" "$limit" "$@" ;;
    *) sed -n '2,42p' "$0"; exit 2 ;;
esac
