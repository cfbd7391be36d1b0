# Compiles with the hardening flags Debian builds its own packages with
# (dpkg-buildflags: fortified functions, stack protector, read-only
# relocations bound at start-up). Optimisation and debug information stay
# the build type's; a sanitizer or Debug build takes no hardening, since
# fortified functions need optimisation and the sanitizers bring their own
# checks.
option(QUANTARO_HARDENING "Compile with the distribution's hardening flags" ON)
string(TOLOWER "${CMAKE_BUILD_TYPE}" quantaro_build_type)
if(NOT QUANTARO_HARDENING OR QUANTARO_SANITIZE OR quantaro_build_type STREQUAL "debug")
  return()
endif()
find_program(QUANTARO_DPKG_BUILDFLAGS dpkg-buildflags)
if(NOT QUANTARO_DPKG_BUILDFLAGS)
  message(STATUS "dpkg-buildflags not found: building without the distribution's hardening flags")
  return()
endif()

function(quantaro_hardening_flags kind out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
            ${QUANTARO_DPKG_BUILDFLAGS} --get ${kind}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  # Optimisation, debug information and the source's path belong to the
  # build type and the build tree, not to hardening.
  list(FILTER flags EXCLUDE REGEX "^-(g|O.*|ffile-prefix-map=.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

quantaro_hardening_flags(CPPFLAGS hardening_cppflags)
quantaro_hardening_flags(CXXFLAGS hardening_cxxflags)
quantaro_hardening_flags(LDFLAGS hardening_ldflags)
add_compile_options(${hardening_cppflags} ${hardening_cxxflags})
# GCC 12's fortified memcpy inside std::string's operator+ draws a bogus
# -Wrestrict at -O2 (GCC bug 105329, fixed in GCC 13).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()
add_link_options(${hardening_ldflags})
list(JOIN hardening_cppflags " " cppflags)
list(JOIN hardening_cxxflags " " cxxflags)
list(JOIN hardening_ldflags " " ldflags)
message(STATUS "Hardening: ${cppflags} ${cxxflags} ${ldflags}")
