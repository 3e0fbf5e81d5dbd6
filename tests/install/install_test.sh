#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed programs from there, far from
# the build tree: tintora-cli on an installed sample profile and library, the window offscreen
# (with "?" and as "Open with" starts it), the desktop entry, icons, manual pages and completion;
# then the Debian package CPack makes.
#   install_test.sh BUILD_DIRECTORY
set -uo pipefail
build=$(cd "$1" && pwd)
failures=0

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 700 "$work"
export XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config HOME=$work

fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}
ok() { echo "ok   $*"; }

prefix=$work/prefix
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
    cat "$work/install.log"
    fail "cmake --install"
    exit 1
fi
share=$prefix/share
profiles=$share/tintora/Resources/profiles

for file in bin/tintora bin/tintora-cli share/tintora/style.xml share/tintora/Resources/banner.png \
    share/tintora/examples/spots.csv share/man/man1/tintora.1 share/man/man1/tintora-cli.1 \
    share/bash-completion/completions/tintora-cli share/applications/tintora.desktop \
    share/mime/packages/tintora.xml share/icons/hicolor/scalable/apps/tintora.svg \
    share/tintora/Resources/profiles/Tintora-sRGB.icc; do
    [[ -f $prefix/$file ]] || fail "missing $file"
done
for size in 16 24 32 48 64 128 256; do
    icon=$share/icons/hicolor/${size}x$size/apps/tintora.png
    [[ $(file -b "$icon" 2>/dev/null) == "PNG image data, $size x $size,"* ]] ||
        fail "icon $size: $(file -b "$icon" 2>&1)"
done

if desktop-file-validate "$share/applications/tintora.desktop"; then
    ok "desktop entry"
else
    fail "desktop-file-validate"
fi
grep -q '^MimeType=application/vnd.iccprofile;$' "$share/applications/tintora.desktop" &&
    grep -q '^Exec=tintora %f$' "$share/applications/tintora.desktop" ||
    fail "the entry opens ICC profiles with the file as argument"

# The command-line tool, on installed data.
out=$("$prefix/bin/tintora-cli" match -o "$profiles/Tintora-Sample-CMYK.icc" -L 52 -a 55 -b 30)
if [[ $out == "device    C "*"total     ΔJCh 0.0"* ]]; then ok "tintora-cli match"; else
    fail "tintora-cli match printed: $out"
fi
"$prefix/bin/tintora-cli" match -o "$profiles/Tintora-Sample-CMYK.icc" \
    "$share/tintora/examples/spots.csv" --format html --tolerance 2 --results "$work/report.html"
rows=$(grep -c '<tr><td class="name">[^<]*</td><td class="swatch' "$work/report.html")
[[ $rows -eq 4 ]] && ok "html report" || fail "html report has $rows colour rows"

# The window: no data beside it, so it reads the installed style file and banner (a missing one
# prints "Could not load 'style.xml'"); it keeps running until the timeout ends it.
usage=$'Tintora, finds device values for spot colours in ICC output profiles \t\nTintora -o pathtoICCprofile -L Lab_L -a Lab_a -b Lab_b'
timeout 8 "$prefix/bin/tintora" '?' >/dev/null 2>"$work/err"
status=$?
if [[ $status -eq 124 && $(cat "$work/err"; echo x) == "${usage}x" ]]; then ok "window with ?"; else
    fail "window with ?: status $status, standard error:"
    cat -A "$work/err"
fi
# "Open with": the file alone binds as the output profile, and is remembered.
timeout 8 "$prefix/bin/tintora" "$profiles/Tintora-Sample-CMY.icc" >/dev/null 2>"$work/err"
if grep -q "lastProfilePath=.*Tintora-Sample-CMY.icc" "$XDG_CONFIG_HOME/Veltrane/Tintora.conf" \
    2>/dev/null; then ok "open with"; else
    fail "open with: the profile was not bound; standard error:"
    cat "$work/err"
fi

# Completion, as bash runs it.
completion=$(
    # shellcheck disable=SC1091
    source /usr/share/bash-completion/bash_completion
    source "$share/bash-completion/completions/tintora-cli"
    complete_words() {
        COMP_WORDS=("$@")
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        COMP_LINE="$*"
        COMP_POINT=${#COMP_LINE}
        COMPREPLY=()
        _tintora_cli tintora-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
        echo "${COMPREPLY[*]}"
    }
    complete_words tintora-cli ma
    complete_words tintora-cli match --format h
    complete_words tintora-cli match --tol
)
[[ $completion == $'match\nhtml\n--tolerance' ]] && ok "completion" ||
    fail "completion gave: $completion"

# The Debian package: the installed files, and the Debian 12 packages it depends on.
if command -v dpkg-deb >/dev/null; then
    (cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1)
    deb=$(ls "$work"/deb/tintora_*.deb 2>/dev/null | head -1)
    if [[ -z $deb ]]; then
        fail "cpack made no package"
        cat "$work/cpack.log"
    else
        depends=$(dpkg-deb -f "$deb" Depends)
        contents=$(dpkg-deb -c "$deb")
        [[ $depends == *libqt6widgets6*qt6-qpa-plugins* && $depends == *libtinyxml2-9* ]] ||
            fail "package depends on: $depends"
        [[ $contents == *./usr/bin/tintora-cli* && $contents == *./usr/share/applications/tintora.desktop* ]] ||
            fail "package holds: $contents"
        ok "debian package: $(basename "$deb")"
    fi
fi

exit $((failures > 0))
