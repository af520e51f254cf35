#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks the installed tree:
# exactly the programs, the menu entry, the AppStream metadata, the icons,
# the manual pages and the shell completion, each in working order. The
# validators and man run when they are on the machine.
#
# check_install.sh CMAKE BUILD_DIR PREFIX GUI MAN_PAGES BASH_DIR ZSH_DIR APP_ID VERSION
set -uo pipefail

cmake=$1 build=$2 prefix=$3 gui=$4 man_pages=$5 bash_dir=$6 zsh_dir=$7 app_id=$8 version=$9
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
has() { command -v "$1" > /dev/null 2>&1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Relative install folders are taken under the prefix, absolute ones as
# they are.
under() { case $2 in /*) echo "$2" ;; *) echo "$1/$2" ;; esac; }

expected_files() {
    local root=$1
    echo "$root/bin/lumaquill-cli"
    echo "$(under "$root" "$bash_dir")/lumaquill-cli"
    echo "$(under "$root" "$zsh_dir")/_lumaquill-cli"
    [ "$man_pages" = ON ] && echo "$root/share/man/man1/lumaquill-cli.1.gz"
    if [ "$gui" = ON ]; then
        echo "$root/bin/lumaquill"
        echo "$root/share/applications/$app_id.desktop"
        echo "$root/share/metainfo/$app_id.metainfo.xml"
        for size in 16 24 32 48 64 128 256; do
            echo "$root/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
        done
        echo "$root/share/icons/hicolor/scalable/apps/$app_id.svg"
        [ "$man_pages" = ON ] && echo "$root/share/man/man1/lumaquill.1.gz"
    fi
    return 0
}

# Installs with the given prefix into a fresh DESTDIR; fails unless the tree
# holds exactly the expected files (no libraries, headers or test programs).
install_and_list() {
    local dest=$1 root=$2
    shift 2
    if ! DESTDIR="$dest" "$cmake" --install "$build" "$@" > "$work/install.log" 2>&1; then
        cat "$work/install.log" >&2
        fail "cmake --install $*"
        return
    fi
    diff <(expected_files "$root" | sort) <(cd "$dest" && find . ! -type d | sed 's/^\.//' | sort) > "$work/diff" \
        || { cat "$work/diff" >&2; fail "installed tree under $root (< missing, > unexpected)"; }
}

# The installed prefix is honoured, and so is another one given at install time.
dest=$work/dest
install_and_list "$dest" "$prefix"
case $bash_dir$zsh_dir in
    /*) ;;
    *) install_and_list "$work/moved" /opt/lumaquill --prefix /opt/lumaquill ;;
esac
root=$dest$prefix

# The programs run from where they were installed.
[ -x "$root/bin/lumaquill-cli" ] || fail "lumaquill-cli is not executable"
output=$("$root/bin/lumaquill-cli" --version 2>&1)
[ "$output" = "lumaquill-cli $version" ] || fail "lumaquill-cli --version printed '$output'"
[ "$gui" = ON ] && { [ -x "$root/bin/lumaquill" ] || fail "lumaquill is not executable"; }

# Prints the output of a validator and fails on any error or warning line.
validate() {
    local what=$1
    shift
    local out
    out=$("$@" 2>&1)
    local status=$?
    [ -n "$out" ] && echo "$out"
    if [ $status -ne 0 ] || grep -Eiq '(^|[: ])(error|warning)s?:|^[EW]: ' <<< "$out"; then
        fail "$what"
    fi
}

if [ "$gui" = ON ]; then
    desktop=$root/share/applications/$app_id.desktop
    grep -qx "Exec=lumaquill %f" "$desktop" || fail "the menu entry does not start lumaquill with the file"
    grep -qx "MimeType=image/png;image/bmp;image/webp;" "$desktop" \
        || fail "the menu entry does not offer to open the lossless pictures"
    grep -qx "Icon=$app_id" "$desktop" || fail "the menu entry does not name the icon $app_id"
    has desktop-file-validate && validate "desktop-file-validate" desktop-file-validate "$desktop"

    metainfo=$root/share/metainfo/$app_id.metainfo.xml
    grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo has not the id $app_id"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
        || fail "the metainfo does not launch the menu entry"
    has appstreamcli && validate "appstreamcli validate" appstreamcli validate --no-net "$metainfo"

    # Each PNG's header states the size its folder promises.
    for size in 16 24 32 48 64 128 256; do
        png=$root/share/icons/hicolor/${size}x${size}/apps/$app_id.png
        [ -f "$png" ] || continue
        read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
        [ $(((w0 << 24) | (w1 << 16) | (w2 << 8) | w3)) -eq "$size" ] && [ $(((h0 << 24) | (h1 << 16) | (h2 << 8) | h3)) -eq "$size" ] \
            || fail "$png is not $size x $size"
    done
    grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/$app_id.svg" 2> /dev/null || fail "the scalable icon is no SVG"
fi

# The manual pages are roff and render without a warning.
if [ "$man_pages" = ON ]; then
    for page in "$root"/share/man/man1/*.1.gz; do
        gzip -dc "$page" | grep -q '^\.TH ' || fail "$page is no manual page"
        if has man; then
            warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 > /dev/null)
            [ -z "$warnings" ] || { echo "$warnings"; fail "man --warnings -l $page"; }
        fi
    done
    gzip -dc "$root/share/man/man1/lumaquill-cli.1.gz" | grep -q '^\.TH .*"Lumaquill '"$version"'"' \
        || fail "lumaquill-cli(1) does not name version $version"
fi

# The completions parse, and bash's completes commands and image files.
bash_completion=$(under "$root" "$bash_dir")/lumaquill-cli
bash -n "$bash_completion" || fail "the bash completion does not parse"
if [ -f /usr/share/bash-completion/bash_completion ]; then
    mkdir "$work/pictures" && touch "$work/pictures/"{a.png,b.JPG,c.heic,notes.txt}
    completed=$(cd "$work/pictures" && bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"
        complete_line() {
            COMP_WORDS=("$@")
            COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
            COMP_LINE="$*"
            COMP_POINT=${#COMP_LINE}
            COMPREPLY=()
            _lumaquill_cli
            printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "
            echo
        }
        complete_line lumaquill-cli en
        complete_line lumaquill-cli encode --cont
        complete_line lumaquill-cli encode --container ""
        complete_line lumaquill-cli info ""
        complete_line lumaquill-cli encode --speed ""
        complete_line lumaquill-cli decode x.png --speed ""
    ' completion "$bash_completion" 2>&1)
    expected_completions='encode 
--container 
a.png b.JPG c.heic 
a.png b.JPG c.heic 
0 1 2 3 4 
a.png '
    [ "$completed" = "$expected_completions" ] || fail "bash completion gave: $completed"
fi
zsh_completion=$(under "$root" "$zsh_dir")/_lumaquill-cli
head -n 1 "$zsh_completion" | grep -qx '#compdef lumaquill-cli' || fail "the zsh completion lacks its #compdef line"
has zsh && { zsh -n "$zsh_completion" || fail "the zsh completion does not parse"; }

[ $failures -eq 0 ] && echo "installed tree checked: $root"
exit $((failures > 0))
