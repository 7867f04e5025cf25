# Reproducible builds of the program file: two builds of one commit, in different folders, at
# different times and under different umasks, give the same bytes, so that anyone can rebuild a
# release and compare it with what a publisher shipped.
#
# What would differ otherwise, and what takes it away:
#   - the source and build folders, written into the debug information and into __FILE__:
#     -ffile-prefix-map turns them into "." and "build" (the build folder second, because GCC
#     tries the last map first and the build folder may lie inside the source folder);
#   - the link's build-id: asked for explicitly as a SHA-1 of the linked contents, never random;
#   - the static archives' member times, owners and modes: ar's deterministic mode (D);
#   - the time of the build (__DATE__, __TIME__): the build scripts set SOURCE_DATE_EPOCH to the
#     commit's time, which GCC then uses.
# The order of the inputs is fixed by the lists that name them (no globbing); the bundled libplist
# gets the same flags and archiver in cmake/BundledPlist.cmake (ZANTH_REPRODUCIBLE_C_FLAGS).

option(ZANTH_REPRODUCIBLE "Build without the build's folders and times in the program file" OFF)
set(ZANTH_REPRODUCIBLE_C_FLAGS "")
if(NOT ZANTH_REPRODUCIBLE)
  return()
endif()

set(ZANTH_REPRODUCIBLE_C_FLAGS
    "-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build")
add_compile_options("-ffile-prefix-map=${CMAKE_SOURCE_DIR}=."
                    "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build")
add_link_options(-Wl,--build-id=sha1)

foreach(lang C CXX)
  set(CMAKE_${lang}_ARCHIVE_CREATE "<CMAKE_AR> qcD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_APPEND "<CMAKE_AR> qD <TARGET> <LINK_FLAGS> <OBJECTS>")
  set(CMAKE_${lang}_ARCHIVE_FINISH "<CMAKE_RANLIB> -D <TARGET>")
endforeach()

if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  message(WARNING "ZANTH_REPRODUCIBLE without SOURCE_DATE_EPOCH in the environment: use "
                  "scripts/release, which sets it to the commit's time")
endif()
