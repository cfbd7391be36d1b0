# The files an installation holds, relative to its prefix, for the install
# and package checks; app_id names the desktop entry, metainfo and icons.
installed_files=(
    bin/quantaro bin/quantaro-cli
    share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml
    share/icons/hicolor/scalable/apps/$app_id.svg share/icons/hicolor/48x48/apps/$app_id.png
    share/quantaro/guide/index.html share/quantaro/guide/context-6.html
    share/quantaro/guide/quantaro-cli.schema.json
    share/quantaro/examples/engineering.FOR share/quantaro/examples/engineering.CON
    share/quantaro/examples/engineering.VAR share/quantaro/examples/iteration.FOR
    share/mime/packages/$app_id.xml
    share/man/man1/quantaro.1.gz share/man/man1/quantaro-cli.1.gz
    share/bash-completion/completions/quantaro-cli
    share/doc/quantaro/copyright share/doc/quantaro/changelog.gz
)
# The Python module, in a build that makes it (a sanitized one does not).
python_module=
if [ -d "$build_dir/python/quantaro" ]; then
    python_module=lib/python3/dist-packages/quantaro
    installed_files+=("$python_module/__init__.py")
fi
