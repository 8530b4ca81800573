# The files an installation holds, relative to its prefix, sorted, one a line:
#
#   installed_files SOURCE_DIR            (cmake --install, make install)
#   installed_files SOURCE_DIR debian     (the .deb, relative to /usr)
#
# The program, its manual page, its bash completion, and in the documentation
# folder the README, the licence and the docs pages with their pictures. The
# Debian package holds the licence as Debian's copyright file, the manual page
# compressed, and a changelog.
installed_files() {
  local source_dir=$1 layout=${2:-plain} page
  {
    echo bin/quorvex
    echo share/bash-completion/completions/quorvex
    echo share/doc/quorvex/README.md
    for page in "$source_dir"/docs/*.md "$source_dir"/docs/*.svg; do
      [ -e "$page" ] && echo "share/doc/quorvex/docs/${page##*/}"
    done
    if [ "$layout" = debian ]; then
      echo share/doc/quorvex/copyright
      echo share/doc/quorvex/changelog.gz
      echo share/man/man1/quorvex.1.gz
    else
      echo share/doc/quorvex/LICENSE
      echo share/man/man1/quorvex.1
    fi
  } | LC_ALL=C sort
}
