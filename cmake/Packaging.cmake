# A Debian package built with `cpack -G DEB`, installed under /usr and
# depending on the distribution's own Qt libraries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quantaro)
set(CPACK_PACKAGE_VENDOR "The Quantaro developers")
set(CPACK_PACKAGE_CONTACT "The Quantaro developers <developers@quantaro.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for sets of equations, evaluated left to right")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Quantaro evaluates sets of equations such as A * ( B + 1 ) = X strictly from\n"
       "left to right, with brackets to group, in 80-bit extended precision, over\n"
       "tables of named constants and variables. Equations can run once, one at a\n"
       "time, or many times in a loop. Includes the batch runner quantaro-cli.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
# The library dependencies come from the binaries themselves; Qt's platform
# plugins are loaded at run time, so they are named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The units check reads the udunits2 database at run time.
string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", libudunits2-data")
# The Python module quantaro is for the system's Python 3 and hands its
# sweeps over as NumPy arrays.
get_property(python_depends GLOBAL PROPERTY QUANTARO_PYTHON_DEPENDS)
if(python_depends)
  string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ${python_depends}")
  # The bytecode Python writes beside the module goes with the package.
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/data/debian/prerm)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()
# The guide opens in the desktop's browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_STRIP_FILES ON)
include(CPack)
