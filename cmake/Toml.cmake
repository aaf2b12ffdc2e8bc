# toml++, from Debian's libtomlplusplus-dev, used header-only: the settings
# file is a few lines read once, and the reporter then needs no library of
# it at run time on any system. As for nlohmann/json, the Windows builds see
# it through a folder of their own that holds only a link to its headers.
find_path(QUIBEX_TOML_INCLUDE toml++/toml.h PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT QUIBEX_TOML_INCLUDE)
  message(FATAL_ERROR "toml++/toml.h not found: install libtomlplusplus-dev (scripts/test does)")
endif()
set(QUIBEX_TOML_LINK_DIR ${CMAKE_BINARY_DIR}/third_party/toml/include)
file(MAKE_DIRECTORY ${QUIBEX_TOML_LINK_DIR})
if(NOT EXISTS ${QUIBEX_TOML_LINK_DIR}/toml++)
  file(CREATE_LINK ${QUIBEX_TOML_INCLUDE}/toml++ ${QUIBEX_TOML_LINK_DIR}/toml++ SYMBOLIC)
endif()
add_library(quibex_toml INTERFACE)
target_include_directories(quibex_toml SYSTEM INTERFACE ${QUIBEX_TOML_LINK_DIR})
# Debian's pkg-config asks for its shared library; this build compiles the
# parser into the one file that includes it.
target_compile_definitions(quibex_toml INTERFACE TOML_HEADER_ONLY=1)
