# libplist, built from Debian's own source package and linked into the program statically.
#
# Its shared object changed name between the releases the program runs on (libplist-2.0.so.3 in
# Debian 12 and Ubuntu 22.04, .so.4 in Debian 13 and Ubuntu 24.04, where plist_from_memory also
# gained an argument), so no single program file could name it. The source package of one fixed
# release is fetched with apt-get through a sources list of its own in the build folder (the
# machine's apt configuration is neither read for sources nor changed), kept in a cache folder
# outside the build so that later builds and fresh clones reuse it, unpacked with Debian's
# patches, and only its C library is built, position-independent, with the same hardening as the
# rest of the program. The result is the imported target zanth_plist.

set(ZANTH_PLIST_SUITE "bookworm" CACHE STRING
    "Debian release whose libplist source package is built into the program (2.2 API)")
set(ZANTH_PLIST_MIRROR "http://deb.debian.org/debian" CACHE STRING
    "Debian archive the libplist source package is fetched from")
if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(_cache_default "$ENV{XDG_CACHE_HOME}/zanth-deps")
elseif(DEFINED ENV{HOME} AND NOT "$ENV{HOME}" STREQUAL "")
  set(_cache_default "$ENV{HOME}/.cache/zanth-deps")
else()
  set(_cache_default "${CMAKE_BINARY_DIR}/_deps/cache")
endif()
set(ZANTH_DEPS_CACHE "${_cache_default}" CACHE PATH
    "Folder outside the build that keeps fetched source packages between builds")

set(_plist_package "${ZANTH_DEPS_CACHE}/libplist-${ZANTH_PLIST_SUITE}")
set(_plist_deps "${CMAKE_BINARY_DIR}/_deps")
file(MAKE_DIRECTORY "${_plist_deps}")

# Runs a command of the fetch or the unpacking; its output goes to a log in the build folder,
# shown only when the command fails.
function(_zanth_plist_run log)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_FILE "${log}" ERROR_FILE "${log}.err")
  if(NOT result EQUAL 0)
    file(READ "${log}" out)
    file(READ "${log}.err" err)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "libplist: '${command}' failed (${result}):\n${out}${err}")
  endif()
endfunction()

# Fetches the source package into the cache unless it is there. It lands in the cache only
# whole: it is fetched into a folder beside its place (on the same file system) and renamed.
file(GLOB _plist_dsc "${_plist_package}/libplist_*.dsc")
if(NOT _plist_dsc)
  find_program(APT_GET apt-get REQUIRED)
  set(_apt "${_plist_deps}/apt")
  file(REMOVE_RECURSE "${_apt}")
  string(RANDOM LENGTH 8 _suffix)
  set(_download "${_plist_package}.${_suffix}")
  file(MAKE_DIRECTORY "${_apt}/lists/partial" "${_apt}/cache/archives/partial" "${_download}")
  file(WRITE "${_apt}/sources.list"
       "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] "
       "${ZANTH_PLIST_MIRROR} ${ZANTH_PLIST_SUITE} main\n")
  set(_apt_options
      -o "Dir::Etc::SourceList=${_apt}/sources.list" -o "Dir::Etc::SourceParts=-"
      -o "Dir::State::Lists=${_apt}/lists" -o "Dir::Cache=${_apt}/cache"
      -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root")
  message(STATUS "libplist: fetching the ${ZANTH_PLIST_SUITE} source package")
  _zanth_plist_run("${_apt}/update.log" ${APT_GET} ${_apt_options} -q update)
  execute_process(COMMAND ${CMAKE_COMMAND} -E chdir "${_download}"
                          ${APT_GET} ${_apt_options} -q --download-only source libplist
                  RESULT_VARIABLE _result OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
  if(NOT _result EQUAL 0)
    file(REMOVE_RECURSE "${_download}")
    message(FATAL_ERROR "libplist: apt-get source failed (${_result}):\n${_out}")
  endif()
  file(RENAME "${_download}" "${_plist_package}" RESULT _renamed)
  if(NOT _renamed EQUAL 0)  # another build filled the cache first
    file(REMOVE_RECURSE "${_download}")
  endif()
  file(GLOB _plist_dsc "${_plist_package}/libplist_*.dsc")
endif()
list(GET _plist_dsc 0 _plist_dsc)

# The program calls the 2.2 API (plist_from_memory with three arguments).
file(STRINGS "${_plist_dsc}" _plist_version REGEX "^Version: ")
string(REGEX REPLACE "^Version: " "" _plist_version "${_plist_version}")
if(NOT _plist_version MATCHES "^2\\.2\\.")
  message(FATAL_ERROR "libplist: the source package is ${_plist_version}; the program is written "
                      "for libplist 2.2 (set ZANTH_PLIST_SUITE to a release that has it)")
endif()

# Unpacks it (Debian's patches applied) into the build folder, once per version.
set(_plist_source "${_plist_deps}/libplist-${_plist_version}")
if(NOT EXISTS "${_plist_source}/configure.ac")
  find_program(DPKG_SOURCE dpkg-source REQUIRED)
  file(REMOVE_RECURSE "${_plist_source}")
  _zanth_plist_run("${_plist_deps}/libplist-unpack.log" ${DPKG_SOURCE} -x "${_plist_dsc}" "${_plist_source}")
endif()
message(STATUS "libplist: ${_plist_version} from ${_plist_dsc}")
# What scripts/release names in the notices of a release: the source package, its version, the
# Debian release and the unpacked source (which holds the licence texts).
file(WRITE "${_plist_deps}/libplist-package"
     "libplist ${_plist_version} ${ZANTH_PLIST_SUITE} ${_plist_source}\n")

# Only libcnary and the C library of src/ are built: not the C++ binding, the tools, the tests nor
# the Python module. The sanitizer builds go without _FORTIFY_SOURCE, as the program does.
find_program(MAKE_PROGRAM NAMES make gmake REQUIRED)
set(_plist_cflags "-O2 -g -fstack-protector-strong ${ZANTH_REPRODUCIBLE_C_FLAGS}")
if(NOT ZANTH_SANITIZE)
  string(APPEND _plist_cflags " -D_FORTIFY_SOURCE=2")
endif()
set(_plist_cc "${CMAKE_C_COMPILER}")
if(CMAKE_C_COMPILER_LAUNCHER)
  set(_plist_cc "${CMAKE_C_COMPILER_LAUNCHER} ${CMAKE_C_COMPILER}")
endif()
set(_plist_build "${_plist_deps}/libplist-build")
set(_plist_library "${_plist_build}/src/.libs/libplist-2.0.a")

# libtool archives with "$AR $AR_FLAGS" and then runs ranlib, as configure found them: both in
# deterministic mode (no member times, owners or modes), whatever the machine's binutils default
# to.
set(_plist_archiver "AR_FLAGS=crD" "RANLIB=ranlib -D")

include(ExternalProject)
ExternalProject_Add(zanth_libplist_build
  SOURCE_DIR "${_plist_source}"
  BINARY_DIR "${_plist_build}"
  CONFIGURE_COMMAND ${CMAKE_COMMAND} -E env NOCONFIGURE=1 "${_plist_source}/autogen.sh"
            COMMAND "${_plist_source}/configure" --quiet --disable-shared --enable-static
                    --with-pic --without-cython --disable-debug
                    "CC=${_plist_cc}" "CFLAGS=${_plist_cflags}" ${_plist_archiver}
  BUILD_COMMAND ${MAKE_PROGRAM} -s -C libcnary
        COMMAND ${MAKE_PROGRAM} -s -C src libplist-2.0.la
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS "${_plist_library}"
  LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)

add_library(zanth_plist STATIC IMPORTED GLOBAL)
set_target_properties(zanth_plist PROPERTIES
  IMPORTED_LOCATION "${_plist_library}"
  INTERFACE_INCLUDE_DIRECTORIES "${_plist_source}/include")
add_dependencies(zanth_plist zanth_libplist_build)
