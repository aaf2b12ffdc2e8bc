# Writes OUTPUT, a C++ source defining `std::string_view NAME` (in
# quibex::vb6::libraries) as the whole text of INPUT, so the reporter
# carries its data inside its one binary.
#   cmake -DINPUT=... -DOUTPUT=... -DNAME=... -P EmbedText.cmake
file(READ "${INPUT}" text)
get_filename_component(source "${INPUT}" NAME)
string(FIND "${text}" ")quibex\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw string's delimiter")
endif()
file(WRITE "${OUTPUT}.tmp" "// Generated from ${source}; edit that file instead.\n#include <string_view>\n\nnamespace quibex::vb6::libraries {\nextern const std::string_view ${NAME};\nconst std::string_view ${NAME} = R\"quibex(${text})quibex\";\n}  // namespace quibex::vb6::libraries\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
