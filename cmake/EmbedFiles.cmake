# Helpers for generated sources that carry the bytes of files (assembled in with .incbin, so a
# large file costs the compiler nothing) and that are rewritten only when their text changes.

# zanth_incbin_lines(<var> <symbol> <file>): appends to <var> the lines of an __asm__ string
# that place the bytes of <file> between the hidden symbols <symbol>_begin and <symbol>_end.
function(zanth_incbin_lines var symbol file)
  string(APPEND ${var}
    "        \"  .globl ${symbol}_begin\\n\"\n"
    "        \"  .hidden ${symbol}_begin\\n\"\n"
    "        \"${symbol}_begin:\\n\"\n"
    "        \"  .incbin \\\"${file}\\\"\\n\"\n"
    "        \"  .globl ${symbol}_end\\n\"\n"
    "        \"  .hidden ${symbol}_end\\n\"\n"
    "        \"${symbol}_end:\\n\"\n")
  set(${var} "${${var}}" PARENT_SCOPE)
endfunction()

# zanth_write_generated_source(<path> <content> DEPENDS <file>...): writes <content> to <path>,
# leaving the file untouched when it already says the same (so nothing rebuilds needlessly),
# and recompiles it whenever one of the embedded files changes.
function(zanth_write_generated_source path content)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(WRITE ${path}.tmp "${content}")
  file(COPY_FILE ${path}.tmp ${path} ONLY_IF_DIFFERENT)
  file(REMOVE ${path}.tmp)
  set_source_files_properties(${path} PROPERTIES OBJECT_DEPENDS "${ARG_DEPENDS}")
endfunction()
