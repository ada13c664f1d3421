# Turns a binary file into a C++ source with its bytes and two functions that give
# their start and end. Run at build time:
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DHEADER=<include> -DNAME=<Name> -P embed_bytes.cmake
# The source defines kovrex::<Name>Start() and kovrex::<Name>End().
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
if(hex_length EQUAL 0)
  message(FATAL_ERROR "embed_bytes: ${INPUT} is empty")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Twenty bytes a line keeps the generated file readable in an editor.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){20})" "\\1\n  " bytes "${bytes}")
get_filename_component(input_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}"
"// Generated from ${input_name} by cmake/embed_bytes.cmake at build time; do not edit.\n"
"#include \"${HEADER}\"\n\n"
"namespace kovrex {\n"
"namespace {\n"
"const unsigned char kBytes[] = {\n  ${bytes}\n};\n"
"}  // namespace\n\n"
"const unsigned char* ${NAME}Start() { return kBytes; }\n"
"const unsigned char* ${NAME}End() { return kBytes + sizeof kBytes; }\n\n"
"}  // namespace kovrex\n")
