#!/usr/bin/env bash
# Starts the window program as a user would, on the offscreen platform, and checks what it
# prints and that it keeps running (until the timeout ends it) whatever its arguments are.
#   program_start_test.sh PATH_TO_TINTORA
set -uo pipefail
program=$1
failures=0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 700 "$work"
export XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config HOME=$work

usage=$'Tintora, finds device values for spot colours in ICC output profiles \t\nTintora -o pathtoICCprofile -L Lab_L -a Lab_a -b Lab_b'

# check NAME EXPECTED_STDERR PROGRAM ARGUMENTS...
check() {
    local name=$1 expected=$2 executable=$3
    shift 3
    timeout 2 "$executable" "$@" >"$work/out" 2>"$work/err"
    local status=$?
    if [[ $status -ne 124 ]]; then
        echo "FAIL $name: the program ended by itself with status $status"
        failures=$((failures + 1))
    elif [[ $(cat "$work/err"; echo x) != "${expected}x" ]]; then
        echo "FAIL $name: standard error was:"
        cat -A "$work/err"
        failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

check "no arguments" "" "$program"
check "usage text, bad number, unknown option" "$usage" "$program" '?' -L abc -x -a 5
check "usage twice" "$usage$usage" "$program" -? -L 50 ?
check "reference only" "" "$program" -L50 -a 10 -b-5
check "lone minus and missing value" "" "$program" -a -

# --help and -h print the usage text and end at once, without a window.
for help in --help -h; do
    timeout 5 "$program" "$help" >"$work/out" 2>"$work/err"
    status=$?
    if [[ $status -eq 0 && $(cat "$work/err"; echo x) == "$usage"$'\n'"x" ]]; then
        echo "ok   $help"
    else
        echo "FAIL $help: status $status, standard error:"
        cat -A "$work/err"
        failures=$((failures + 1))
    fi
done
check "out-of-range reference" "tintora: -L 150 is outside 0 to 100; ignored"$'\n' "$program" -L 150

# Without style.xml and banner beside it the program says so once and goes on.
mkdir "$work/bare"
cp "$program" "$work/bare/"
bare=$work/bare/$(basename "$program")
timeout 2 "$bare" -L 50 >/dev/null 2>"$work/err"
status=$?
message=$(cat "$work/err")
if [[ $status -eq 124 && $message == "Could not load 'style.xml'. Error='"*"XML_ERROR_FILE_NOT_FOUND"*"'. Exiting." &&
      $(wc -l <"$work/err") -eq 1 ]]; then
    echo "ok   missing style file and banner"
else
    echo "FAIL missing style file and banner: status $status, standard error:"
    cat "$work/err"
    failures=$((failures + 1))
fi

exit $((failures > 0))
