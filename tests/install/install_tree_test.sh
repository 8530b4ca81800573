#!/usr/bin/env bash
# `cmake --install` into a temporary DESTDIR holds exactly the files listed in
# installed_files.sh, under the prefix given, and nothing anywhere else:
#
#   install_tree_test.sh BUILD_DIR SOURCE_DIR
#
# The installed program answers --version, the manual page is the one that
# renders, and the completion is a bash script that defines its function.
set -euo pipefail
build_dir=$1
source_dir=$2
source "$(dirname "$0")/installed_files.sh"

destdir=$(mktemp -d)
trap 'rm -rf "$destdir"' EXIT
prefix=/opt/quorvex-install-test

DESTDIR=$destdir cmake --install "$build_dir" --prefix "$prefix" >/dev/null
actual=$(cd "$destdir" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
expected=$(installed_files "$source_dir" | sed "s|^|${prefix#/}/|")
if [ "$actual" != "$expected" ]; then
  echo "the installed files differ from the list (< listed, > installed):" >&2
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  exit 1
fi

"$destdir$prefix/bin/quorvex" --version | grep -q '^quorvex ' || { echo "the installed program does not say its version" >&2; exit 1; }
cmp -s "$destdir$prefix/share/doc/quorvex/LICENSE" "$source_dir/LICENSE" || { echo "the installed LICENSE differs" >&2; exit 1; }
bash -c 'source "$1" && declare -F _quorvex >/dev/null' _ "$destdir$prefix/share/bash-completion/completions/quorvex" ||
  { echo "the installed completion does not define _quorvex" >&2; exit 1; }
echo "the install tree holds exactly the $(wc -l <<<"$expected") files listed"
