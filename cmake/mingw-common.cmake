# Shared by both MinGW toolchain files. Debian ships a "-posix" and a "-win32"
# flavour of each compiler; the posix one has std::thread and std::mutex.
foreach(flavour -posix "")
  find_program(QUIBEX_MINGW_CXX ${QUIBEX_MINGW_TRIPLE}-g++${flavour})
  find_program(QUIBEX_MINGW_CC ${QUIBEX_MINGW_TRIPLE}-gcc${flavour})
  if(QUIBEX_MINGW_CXX AND QUIBEX_MINGW_CC)
    break()
  endif()
endforeach()
# GoogleTest's own project enables C as well.
set(CMAKE_C_COMPILER ${QUIBEX_MINGW_CC})
set(CMAKE_CXX_COMPILER ${QUIBEX_MINGW_CXX})
set(CMAKE_RC_COMPILER ${QUIBEX_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUIBEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
