#!/bin/sh
# read_only_target.sh CLI LIBRARY WORKDIR: a library file of mode 444 in a folder anyone may
# write must not be replaced by a user who may not write the file. Root may write anything, so
# root runs the tool as nobody (exit 77, skipped, when that cannot be done).
cli=$1 library=$2 work=$3
rm -rf "$work" && mkdir -p "$work" && chmod 777 "$work" || exit 1
cp "$library" "$work/input.KM2" && chmod 644 "$work/input.KM2" || exit 1
printf 'old\n' > "$work/target.KM2" && chmod 444 "$work/target.KM2" || exit 1
run() { "$@"; }
if [ "$(id -u)" = 0 ]; then
    command -v setpriv > /dev/null || { echo "setpriv missing: cannot test as a normal user"; exit 77; }
    run() { setpriv --reuid=65534 --regid=65534 --clear-groups "$@"; }
fi
# The user must reach the tool and be able to write the folder, else the test proves nothing.
if ! run "$cli" --version > /dev/null 2>&1 || ! run test -w "$work"; then
    echo "the test user cannot run the tool or write $work: skipped"
    rm -rf "$work"
    exit 77
fi
err=$(run "$cli" roundtrip "$work/input.KM2" "$work/target.KM2" 2>&1 >/dev/null)
code=$?
[ $code = 2 ] || { echo "exit status $code, expected 2: $err"; exit 1; }
case $err in *"target.KM2: cannot write: Permission denied"*) ;; *) echo "message: $err"; exit 1 ;; esac
[ "$(cat "$work/target.KM2")" = old ] || { echo "the read-only file was replaced"; exit 1; }
[ "$(ls -A "$work" | tr '\n' ' ')" = "input.KM2 target.KM2 " ] || { echo "files left behind: $(ls -A "$work")"; exit 1; }
rm -rf "$work"
