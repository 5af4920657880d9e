#!/usr/bin/env bash
# Installs the built tool into a temporary prefix, starts it by name through
# the link on PATH from another folder, then uninstalls: the executable, the
# link and the manual page go, the key system files the run made stay.
#   InstallTest.sh <build folder> <source folder>
set -euo pipefail
build=$1
source=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/prefix
folder=$prefix/share/vantor
manifest=$build/install_manifest_vantor.txt
fail() {
  echo "FAILED: $*" >&2
  exit 1
}
uninstall() { cmake -DMANIFEST="$manifest" -P "$source/cmake/Uninstall.cmake" >/dev/null; }

# The component keeps this manifest apart from that of a real install.
cmake --install "$build" --prefix "$prefix" --component vantor >/dev/null
[[ -x $folder/vantor && ! -L $folder/vantor ]] || fail "no executable in $folder"
[[ $(readlink "$prefix/bin/vantor") == "$folder/vantor" ]] || fail "the link does not name $folder/vantor"
[[ -f $prefix/share/man/man1/vantor.1 ]] || fail "no manual page"
[[ $(stat -c %a "$folder") == 700 ]] || fail "the key folder is not private"
expected=$(printf '%s\n' "$prefix/bin/vantor" "$prefix/share/man/man1/vantor.1" "$folder/vantor")
[[ $(sort "$manifest") == "$expected" ]] || fail "the manifest lists: $(cat "$manifest")"
if command -v man >/dev/null; then
  [[ $(PATH=$prefix/bin:$PATH MANPATH= man -w vantor) == "$prefix/share/man/man1/vantor.1" ]] ||
    fail "man does not find the page through PATH"
fi

# Started by name from elsewhere, the tool keeps its key system beside the
# real executable.
mkdir "$root/home" "$root/elsewhere"
(cd "$root/elsewhere" && printf 'createsys 2 1 1 n\nquit\n' | HOME=$root/home PATH=$prefix/bin:$PATH vantor >/dev/null)
for key in sys.dat K11.bin K12.bin k2.dat k3.bin; do
  [[ -f $folder/$key ]] || fail "$key was not made in $folder"
done
[[ -z $(ls -A "$root/elsewhere") ]] || fail "files were made in the current folder"

uninstall
for path in "$prefix/bin/vantor" "$folder/vantor" "$prefix/share/man/man1/vantor.1"; do
  [[ ! -e $path && ! -L $path ]] || fail "$path is still there"
done
[[ $(ls "$folder" | sort | tr '\n' ' ') == "K11.bin K12.bin k2.dat k3.bin sys.dat " ]] ||
  fail "the key system did not stay whole: $(ls "$folder")"

# Without key files the folder goes too.
rm "$folder"/*
cmake --install "$build" --prefix "$prefix" --component vantor >/dev/null
uninstall
[[ ! -e $folder ]] || fail "the empty folder $folder is still there"
