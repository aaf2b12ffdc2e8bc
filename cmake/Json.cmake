# nlohmann/json, from Debian's nlohmann-json3-dev (header-only). The Windows
# builds must not see the rest of /usr/include, so they get a folder of
# their own that holds only a link to the library's headers.
find_path(QUIBEX_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT QUIBEX_JSON_INCLUDE)
  message(FATAL_ERROR "nlohmann/json.hpp not found: install nlohmann-json3-dev (scripts/test does)")
endif()
set(QUIBEX_JSON_LINK_DIR ${CMAKE_BINARY_DIR}/third_party/include)
file(MAKE_DIRECTORY ${QUIBEX_JSON_LINK_DIR})
if(NOT EXISTS ${QUIBEX_JSON_LINK_DIR}/nlohmann)
  file(CREATE_LINK ${QUIBEX_JSON_INCLUDE}/nlohmann ${QUIBEX_JSON_LINK_DIR}/nlohmann SYMBOLIC)
endif()
add_library(quibex_json INTERFACE)
add_library(quibex::json ALIAS quibex_json)
target_include_directories(quibex_json SYSTEM INTERFACE ${QUIBEX_JSON_LINK_DIR})
