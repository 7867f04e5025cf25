# Writes a C++ source that holds the bytes of a DER certificate as ZanthRootCert.
# Usage: cmake -DINPUT=<cert.der> -DOUTPUT=<file.cpp> -P EmbedRootCert.cmake
if(NOT INPUT OR NOT OUTPUT)
  message(FATAL_ERROR "EmbedRootCert.cmake needs INPUT and OUTPUT")
endif()
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
if(hex_length EQUAL 0)
  message(FATAL_ERROR "Root certificate ${INPUT} is empty")
endif()
math(EXPR byte_count "${hex_length} / 2")
# Two hex digits per byte, sixteen bytes per line.
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from ${INPUT}. Do not edit.\n"
"#include \"signature/ZanthRootCert.h\"\n\n"
"const unsigned char ZanthRootCert[] = {\n    ${bytes}\n};\n"
"const std::size_t ZanthRootCertLength = ${byte_count};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
