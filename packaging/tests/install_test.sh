#!/usr/bin/env bash
# install_test.sh install|package
#   install: installs the build into a temporary DESTDIR, checks that exactly the intended
#            files are there, and runs the installed programs as a new user would: a demo
#            volume from veld-demo-volume, then veldane-cli connect, results, export and
#            certificate against it, with no help from the build tree.
#   package: builds the Debian package with cpack into a temporary folder and checks its
#            files, its fields and its computed dependencies.
# The layout comes from CMake in VELD_BUILD_DIR, VELD_PACKAGING_DIR, VELD_PREFIX,
# VELD_BINDIR, VELD_PRIVATE_LIBDIR, VELD_MANDIR, VELD_DATADIR and VELD_WITH_DESKTOP.
# Everything happens under one temporary folder, HOME included, removed at the end.
set -euo pipefail

mode=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/veld-install-test-XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The files that an installation holds, relative to the prefix, sorted.
intended_files() {
  {
    echo "$VELD_BINDIR/veldane-cli"
    echo "$VELD_BINDIR/veld-demo-volume"
    echo "$VELD_PRIVATE_LIBDIR/libveld_rapi.so"
    echo "$VELD_MANDIR/man1/veldane-cli.1.gz"
    echo "$VELD_MANDIR/man1/veld-demo-volume.1.gz"
    if [[ $VELD_WITH_DESKTOP == 1 ]]; then
      echo "$VELD_BINDIR/veldane-manager"
      echo "$VELD_DATADIR/applications/veldane-manager.desktop"
      echo "$VELD_DATADIR/icons/hicolor/scalable/apps/veldane-manager.svg"
      echo "$VELD_DATADIR/metainfo/veldane-manager.metainfo.xml"
    fi
  } | sort
}

expect_same_files() {  # what, actual list, expected list
  if [[ $2 != "$3" ]]; then
    echo "$1 differ from the intended files (< found, > intended):" >&2
    diff <(echo "$2") <(echo "$3") >&2 || true
    fail "$1"
  fi
}

# The launcher is valid, its icon and program are installed beside it, and the metainfo
# that names it is valid. Without the desktop program, the sources are checked instead.
check_desktop_files() {  # folder that holds share/applications etc., bin folder or ""
  local data=$1 bin=$2
  local desktop=$data/applications/veldane-manager.desktop
  local metainfo=$data/metainfo/veldane-manager.metainfo.xml
  local icon_folder=$data/icons/hicolor/scalable/apps
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
  local icon program
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  [[ -s $icon_folder/$icon.svg ]] || fail "the launcher's icon $icon is not at $icon_folder/$icon.svg"
  grep -q '<svg' "$icon_folder/$icon.svg" || fail "$icon_folder/$icon.svg is not an SVG image"
  if [[ -n $bin ]]; then
    [[ -x $bin/$program ]] || fail "the launcher's program $program is not in $bin"
  fi
  grep -qF "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$metainfo" ||
    fail "$metainfo does not launch $(basename "$desktop")"
  if command -v appstreamcli >/dev/null; then
    # The id is the program's name rather than a reverse domain name: the project has no
    # domain of its own to name it by.
    appstreamcli validate --no-net --override=cid-desktopapp-is-not-rdns=info "$metainfo" ||
      fail "appstreamcli rejects $metainfo"
  fi
}

test_install() {
  local dest=$work/dest
  DESTDIR=$dest cmake --install "$VELD_BUILD_DIR" >"$work/install.log" || {
    cat "$work/install.log" >&2
    fail "cmake --install"
  }
  [[ -d $dest$VELD_PREFIX ]] || fail "nothing installed under the prefix $VELD_PREFIX"
  local outside
  outside=$(find "$dest" -mindepth 1 \( -type f -o -type l \) -not -path "$dest$VELD_PREFIX/*")
  [[ -z $outside ]] || fail "installed outside the prefix: $outside"
  local root=$dest$VELD_PREFIX
  expect_same_files "the installed files" \
    "$(cd "$root" && find . \( -type f -o -type l \) | sed 's|^\./||' | sort)" "$(intended_files)"

  local man
  for man in "$root/$VELD_MANDIR"/man1/*.1.gz; do
    gzip -t "$man" || fail "$man is not a whole gzip file"
  done
  if [[ $VELD_WITH_DESKTOP == 1 ]]; then
    check_desktop_files "$root/$VELD_DATADIR" "$root/$VELD_BINDIR"
  else
    # Not installed without the program it launches; the sources must still be sound.
    mkdir -p "$work/share/applications" "$work/share/metainfo" "$work/share/icons/hicolor/scalable/apps"
    cp "$VELD_PACKAGING_DIR/veldane-manager.desktop" "$work/share/applications/"
    cp "$VELD_PACKAGING_DIR/veldane-manager.metainfo.xml" "$work/share/metainfo/"
    cp "$VELD_PACKAGING_DIR/icons/veldane-manager.svg" "$work/share/icons/hicolor/scalable/apps/"
    check_desktop_files "$work/share" ""
  fi

  # The installed programs on their own: a clean environment, no $VELD_RAPI_LIBRARY, a
  # working folder away from the build, so that the library is found where installed.
  local bin=$root/$VELD_BINDIR
  mkdir -p "$work/home" "$work/root" "$work/device" "$work/out"
  run() {
    (cd "$work" && env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$work/home" XDG_RUNTIME_DIR="$work/home" \
      VELD_ROOT="$work/root" VELD_DEVICE="$work/device" "$@")
  }
  run "$bin/veld-demo-volume" "$work/device" || fail "veld-demo-volume"
  run "$bin/veldane-cli" connect >"$work/connect.txt" || fail "veldane-cli connect: $(cat "$work/connect.txt")"
  [[ -s $work/root/VELD/VELD/UUT/UUTTable_PPCBK.dat ]] || fail "connect uploaded no UUT table"
  run "$bin/veldane-cli" results >"$work/uuts.txt" || fail "veldane-cli results"
  grep -qx "PT-1001" "$work/uuts.txt" || fail "results lists no PT-1001: $(cat "$work/uuts.txt")"
  run "$bin/veldane-cli" results PT-1001 >"$work/results.txt" || fail "veldane-cli results PT-1001"
  grep -q "PT-1001_0001.DAT" "$work/results.txt" || fail "results PT-1001 lists no PT-1001_0001.DAT"
  local csv
  csv=$(run "$bin/veldane-cli" export PT-1001_0001.DAT -o "$work/out/PT-1001_0001.csv") || fail "veldane-cli export"
  [[ $csv == "$work/out/PT-1001_0001.csv" && -s $csv ]] || fail "export wrote no $work/out/PT-1001_0001.csv"
  grep -q "PT-1001" "$csv" || fail "the exported CSV does not name its UUT"
  run "$bin/veldane-cli" certificate PT-1001_0001.DAT PT-1001_0002.DAT -o "$work/out/certificate.pdf" >/dev/null ||
    fail "veldane-cli certificate"
  [[ $(head -c 5 "$work/out/certificate.pdf") == "%PDF-" ]] || fail "the certificate is not a PDF file"
  run "$bin/veldane-cli" about | grep -q "3.04" || fail "veldane-cli about"
  [[ -z $(ls -A "$work/home") ]] || echo "note: the programs wrote into HOME: $(ls -A "$work/home")" >&2
  echo "installed tree and installed programs: OK"
}

test_package() {
  local out=$work/package
  (cd "$VELD_BUILD_DIR" && cpack -G DEB -B "$out") >"$work/cpack.log" 2>&1 || {
    cat "$work/cpack.log" >&2
    fail "cpack -G DEB"
  }
  local debs=("$out"/veldane-manager_*.deb)
  [[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || fail "cpack made no veldane-manager_*.deb"
  local deb=${debs[0]}
  # Every entry under /usr (folders included); the files exactly the intended ones.
  local entries
  entries=$(dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|')
  local stray
  stray=$(grep -vE '^/$|^/usr/' <<<"$entries" || true)
  [[ -z $stray ]] || fail "the package holds entries outside /usr: $stray"
  expect_same_files "the package's files" \
    "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./usr/||' | sort)" "$(intended_files)"
  [[ $(dpkg-deb -f "$deb" Package) == veldane-manager ]] || fail "the package is not called veldane-manager"
  local description depends
  description=$(dpkg-deb -f "$deb" Description)
  [[ $(wc -l <<<"$description") -gt 1 ]] || fail "the package has no long description: $description"
  depends=$(dpkg-deb -f "$deb" Depends)
  local library
  for library in libc6 libstdc++6 libqt6core6 libqt6gui6; do
    tr ',' '\n' <<<"$depends" | awk '{ print $1 }' | grep -qxF "$library" || fail "Depends lacks $library: $depends"
  done
  echo "$(basename "$deb"): OK; Depends: $depends"
}

case $mode in
  install) test_install ;;
  package) test_package ;;
  *) fail "unknown mode $mode" ;;
esac
