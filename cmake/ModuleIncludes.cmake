# Include paths that follow the module order. Sources name a module's files from the repository
# root ("platform/Path.h"), so one include path at the root would let every module see every
# other. Instead each module's library offers only its own folder under its name: a folder in the
# build tree holding a single link, <module> -> the module's sources, is a PUBLIC include
# directory of the library. A target sees exactly the modules it links (itself included), and
# an include of a module beside or above it fails to compile.

# zanth_module_include_dir(<var> <module>): sets <var> to the include folder that offers
# <module>'s sources and nothing else (made, or its link renewed, at every configure).
function(zanth_module_include_dir var module)
  set(dir ${PROJECT_BINARY_DIR}/include/${module})
  file(MAKE_DIRECTORY ${dir})
  file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${module} ${dir}/${module} SYMBOLIC)
  set(${var} ${dir} PARENT_SCOPE)
endfunction()

# zanth_module_includes(<target> <module>): <target> is <module>'s library; it and whatever
# links it see <module>'s headers.
function(zanth_module_includes target module)
  zanth_module_include_dir(dir ${module})
  target_include_directories(${target} PUBLIC ${dir})
endfunction()
