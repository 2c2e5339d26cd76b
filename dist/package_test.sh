#!/bin/bash
# Builds the Debian package from a configured and built tree and checks what a user gets:
# the control fields, the Depends line, the files and the desktop entry, and that every
# library the binary links comes from a package that Depends names.
#
#   package_test.sh BUILD_DIR EXPECT_BINARY(0|1) VERSION
# Exits 0 when all holds, 1 on the first failure (after listing every fault found), and 77
# (skipped) when EXPECT_BINARY is 0, after checking everything but the binary.
set -u

build_dir=$1
expect_binary=$2
version=$3

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok:   $*"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack did not build the package"
  exit 1
fi
shopt -s nullglob
debs=("$work"/out/*.deb)
if [ ${#debs[@]} -ne 1 ]; then
  cat "$work/cpack.log"
  echo "FAIL: expected one .deb, found ${#debs[@]}"
  exit 1
fi
deb=${debs[0]}
echo "package: $(basename "$deb")"

# --- control fields -----------------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = tovmira ] && ok "Package: tovmira" || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] && ok "Version: $version" || fail "Version is '$(field Version)', want $version"
arch=$(dpkg --print-architecture)
[ "$(field Architecture)" = "$arch" ] && ok "Architecture: $arch" || fail "Architecture is '$(field Architecture)', want $arch"
for name in Maintainer Section Description; do
  [ -n "$(field $name)" ] && ok "$name present" || fail "$name is empty"
done

# Depends as one clause per line, spaces squeezed: "fonts-wqy-microhei | fonts-noto-cjk".
depends=$(field Depends)
echo "Depends: $depends"
clauses=$(printf '%s' "$depends" | tr ',' '\n' | sed -e 's/^ *//' -e 's/ *$//' -e 's/  */ /g')
clause_names() {  # the package names of a clause, without version constraints
  printf '%s\n' "$1" | sed -e 's/([^)]*)//g' | tr '|' '\n' | sed -e 's/^ *//' -e 's/ *$//'
}
depends_on() {  # true when some clause offers package $1 (alone or as an alternative)
  local clause
  while IFS= read -r clause; do
    clause_names "$clause" | grep -qxF "$1" && return 0
  done <<<"$clauses"
  return 1
}
for package in libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins libcurl4 libpcre2-16-0; do
  depends_on "$package" && ok "Depends names $package" || fail "Depends does not name $package"
done
# The font must be one clause with both alternatives, not two hard dependencies.
font_clause=$(grep -E '(^|\| *)fonts-wqy-microhei( |$)' <<<"$clauses")
if [ -n "$font_clause" ] && clause_names "$font_clause" | grep -qxF fonts-noto-cjk; then
  ok "Depends offers a CJK font: $font_clause"
else
  fail "Depends lacks the clause 'fonts-wqy-microhei | fonts-noto-cjk'"
fi
# Every named package must exist in Debian's lists here, or apt cannot install the .deb.
if apt-cache show libc6 >/dev/null 2>&1; then
  while IFS= read -r clause; do
    found=0
    while IFS= read -r package; do
      apt-cache show "$package" </dev/null >/dev/null 2>&1 && found=1
    done < <(clause_names "$clause")
    [ $found -eq 1 ] || fail "no Debian package satisfies '$clause'"
  done <<<"$clauses"
fi

# --- files --------------------------------------------------------------------------------
dpkg-deb -c "$deb" >"$work/contents"
has_file() { awk '{print $NF}' "$work/contents" | grep -qxF "./$1"; }
desktop=usr/share/applications/tovmira.desktop
icon=usr/share/icons/hicolor/scalable/apps/tovmira.svg
binary=usr/bin/tovmira
for path in $desktop $icon; do
  has_file $path && ok "contains /$path" || fail "missing /$path"
done
if [ "$expect_binary" = 1 ]; then
  if has_file $binary; then
    mode=$(awk -v p="./$binary" '$NF == p {print $1}' "$work/contents")
    [[ $mode == -rwxr-xr-x ]] && ok "contains /$binary ($mode)" || fail "/$binary has mode $mode"
  else
    fail "missing /$binary"
  fi
fi
dpkg-deb -x "$deb" "$work/root"

# --- desktop entry ------------------------------------------------------------------------
entry() {  # value of KEY in the [Desktop Entry] group
  awk -F= -v key="$1" '/^\[/ {in_group = ($0 == "[Desktop Entry]")} in_group && $1 == key {sub(/^[^=]*=/, ""); print; exit}' \
    "$work/root/$desktop"
}
if [ -f "$work/root/$desktop" ]; then
  if command -v desktop-file-validate >/dev/null; then
    if out=$(desktop-file-validate "$work/root/$desktop" 2>&1) && [ -z "$out" ]; then
      ok "desktop-file-validate is silent"
    else
      fail "desktop-file-validate: $out"
    fi
  else
    echo "note: desktop-file-validate not installed (desktop-file-utils); skipped that check"
  fi
  [ "$(entry Name)" = Tovmira ] && ok "Name=Tovmira" || fail "Name is '$(entry Name)'"
  generic=$(entry GenericName)
  # A Chinese GenericName: at least one byte outside ASCII, as the CJK characters are.
  LC_ALL=C grep -q '[^ -~]' <<<"$generic" && ok "GenericName=$generic" || fail "GenericName '$generic' is not Chinese"
  [ -n "$(entry Comment)" ] && ok "Comment present" || fail "Comment is empty"
  [ "$(entry Terminal)" = false ] && ok "Terminal=false" || fail "Terminal is '$(entry Terminal)'"
  categories=";$(entry Categories)"
  [[ $categories == *";Office;"* && $categories == *";Finance;"* ]] && ok "Categories=$(entry Categories)" \
    || fail "Categories '$(entry Categories)' lacks Office;Finance;"
  exec_command=$(entry Exec | awk '{print $1}')
  if [ "$expect_binary" = 1 ]; then
    [ -x "$work/root/usr/bin/$exec_command" ] && ok "Exec=$exec_command is the packaged binary" \
      || fail "Exec '$exec_command' is not an executable in /usr/bin of the package"
  fi
  icon_name=$(entry Icon)
  [ -f "$work/root/usr/share/icons/hicolor/scalable/apps/$icon_name.svg" ] && ok "Icon=$icon_name is the packaged icon" \
    || fail "Icon '$icon_name' has no packaged hicolor/scalable/apps/$icon_name.svg"
fi

# --- icon ---------------------------------------------------------------------------------
if [ -f "$work/root/$icon" ] && [ -x /usr/bin/python3 ]; then
  if out=$(/usr/bin/python3 - "$work/root/$icon" 2>&1 <<'EOF'
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == "{http://www.w3.org/2000/svg}svg", "root element is " + root.tag
x, y, w, h = (float(v) for v in root.get("viewBox", "").split())
assert w == h > 0, "viewBox %s is not square" % root.get("viewBox")
EOF
  ); then ok "icon is a square SVG"; else fail "icon: $out"; fi
fi

# --- the binary's libraries ---------------------------------------------------------------
owning_package() {  # the Debian package that holds library file $1, or nothing
  local path=$1 candidate
  for candidate in "$path" "$(readlink -f "$path")" "${path#/usr}" "/usr$path"; do
    dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1 | cut -d, -f1 | grep . && return
  done
}
if [ "$expect_binary" = 1 ] && [ -f "$work/root/$binary" ]; then
  dynamic=$(objdump -p "$work/root/$binary")
  if grep -qE '^ *(RPATH|RUNPATH) ' <<<"$dynamic"; then
    fail "the packaged binary carries a library path: $(grep -E '^ *(RPATH|RUNPATH) ' <<<"$dynamic")"
  fi
  while read -r library; do
    path=$(ldconfig -p | awk -v l="$library" '$1 == l {print $NF; exit}')
    if [ -z "$path" ]; then
      fail "linked library $library is not installed here"
      continue
    fi
    package=$(owning_package "$path")
    if [ -z "$package" ]; then
      fail "no Debian package owns $path ($library)"
    elif depends_on "$package"; then
      ok "$library comes from $package, which Depends names"
    else
      fail "$library comes from $package, which Depends does not name"
    fi
  done < <(awk '$1 == "NEEDED" {print $2}' <<<"$dynamic")
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
if [ "$expect_binary" != 1 ]; then
  echo "SKIPPED: the tovmira target is not built yet; everything but the binary holds"
  exit 77
fi
echo "all checks hold"
