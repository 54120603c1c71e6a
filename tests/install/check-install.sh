#!/usr/bin/env bash
# Installs the built program into a scratch DESTDIR and builds its Debian
# package, then checks both as a desktop and a package manager would see
# them: every file in its place, the desktop entry and the MIME type valid,
# the manual page following --help, the package's contents and dependencies,
# and the program starting from the unpacked package.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR
set -uo pipefail
build="$(cd "$1" && pwd)"
source="$(cd "$2" && pwd)"
scratch="$(mktemp -d /tmp/klado-install-XXXXXX)"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# What an installation holds, below its prefix.
expected="bin/klado
share/applications/klado.desktop
share/man/man1/klado.1.gz
share/mime/packages/klado.xml"
for size in 16 32 48 128 256; do
  expected+=$'\n'"share/icons/hicolor/${size}x${size}/apps/klado.png"
done
for example in "$source"/examples/*.kld; do
  expected+=$'\n'"share/klado/examples/$(basename "$example")"
done
expected="$(sort -u <<<"$expected")"

# The files below prefix in the tree root, one a line, sorted.
listed() { (cd "$1/$2" && find . -type f -o -type l | sed 's|^\./||' | sort); }

# --- make install with DESTDIR -----------------------------------------------
root="$scratch/root"
DESTDIR="$root" cmake --install "$build" --prefix /usr/local >"$scratch/install.log" 2>&1 ||
  { cat "$scratch/install.log"; fail "cmake --install"; }
[ "$(ls "$root")" = usr ] || fail "files installed outside the prefix: $(ls "$root")"
diff <(echo "$expected") <(listed "$root" usr/local) >"$scratch/diff" || { cat "$scratch/diff"; fail "installed files"; }
prefix="$root/usr/local"

desktop-file-validate "$prefix/share/applications/klado.desktop" || fail "desktop entry"
grep -qx 'MimeType=text/x-klado;' "$prefix/share/applications/klado.desktop" || fail "desktop entry's MIME type"

# The MIME database accepts the type and maps the extension to it.
mkdir -p "$scratch/mime/packages"
cp "$prefix/share/mime/packages/klado.xml" "$scratch/mime/packages/"
if XDG_DATA_HOME="$scratch" update-mime-database "$scratch/mime" >"$scratch/mime.log" 2>&1 && [ ! -s "$scratch/mime.log" ]; then
  grep -q ':text/x-klado:\*\.kld$' "$scratch/mime/globs2" || fail "MIME glob"
  [ -f "$scratch/mime/text/x-klado.xml" ] || fail "MIME type not registered"
else
  cat "$scratch/mime.log"
  fail "update-mime-database"
fi

# PNG pictures of their nominal size.
for size in 16 32 48 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/klado.png"
  header="$(od -An -tx1 -N24 "$png" | tr -d ' \n')"
  printf -v want '89504e470d0a1a0a0000000d49484452%08x%08x' "$size" "$size"
  [ "$header" = "$want" ] || fail "icon $size: not a $size x $size PNG"
done

# The manual page names every option of --help and the version.
page="$(zcat "$prefix/share/man/man1/klado.1.gz")"
help="$("$build/klado" --help)"
for option in $(grep -oE -- '--[a-z-]+' <<<"$help" | sort -u); do
  grep -qF -- "${option//-/\\-}" <<<"$page" || fail "manual page lacks $option"
done
grep -qF "$("$build/klado" --version)" <<<"$page" || fail "manual page lacks the version"
grep -q '^\.SH FILES' <<<"$page" || fail "manual page lacks its FILES section"
[ "$("$prefix/bin/klado" --version)" = "$("$build/klado" --version)" ] || fail "installed program's --version"

# --- the Debian package --------------------------------------------------------
(cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1) ||
  { cat "$scratch/cpack.log"; fail "cpack"; }
deb="$(ls "$scratch"/package/klado_*.deb 2>/dev/null | head -1)"
if [ -z "$deb" ]; then
  fail "no package made"
else
  echo "Package: $(basename "$deb"), $(stat -c %s "$deb") bytes"
  dpkg-deb --contents "$deb" | awk '{print $NF}' | grep -v '/$' | sed 's|^\./usr/||' | sort >"$scratch/contents"
  diff <(echo "$expected") "$scratch/contents" >"$scratch/diff" || { cat "$scratch/diff"; fail "package contents"; }
  depends="$(dpkg-deb --field "$deb" Depends)"
  echo "Depends: $depends"
  for library in 'libfox-1\.6-[0-9]+' 'libopenscenegraph[0-9]+' 'libmuparser[0-9a-z]+' libglx0 libegl1 libgl1-mesa-dri; do
    grep -qE "(^|, )$library( |,|$)" <<<"$depends" || fail "Depends lacks $library"
  done
  version="$("$build/klado" --version)"
  [ "$(dpkg-deb --field "$deb" Version)" = "${version#KLADO }" ] || fail "package version differs from --version"
  dpkg-deb --extract "$deb" "$scratch/unpacked"
  [ "$("$scratch/unpacked/usr/bin/klado" --version)" = "$version" ] || fail "unpacked program's --version"
  file "$scratch/unpacked/usr/bin/klado" | grep -q 'not stripped' && fail "packaged program not stripped"
fi

if [ "$failures" -eq 0 ]; then
  echo "Installation and package checked."
fi
exit $((failures > 0))
