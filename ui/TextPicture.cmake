# The text pictures that MakeIcon.cmake and MakeCursor.cmake turn into
# resources, and the device-independent bitmap both write them as. Included
# by those scripts.
#
# A picture is `size` rows of `size` characters, one a pixel, where "."
# is a transparent pixel; lines starting with "#" and empty lines are
# passed over. The bitmap is collected in the list `bytes`, in file order;
# its rows are whole 4-byte units only while `size` is a multiple of 32.

# text_picture_read(INPUT <file> SIZE <n> PIXELS <regex> WRONG_PIXEL <what>
#                   [HOTSPOT])
# Sets `rows` to the picture's rows. PIXELS matches one row's characters;
# WRONG_PIXEL says, in the error, which character is wrong. With HOTSPOT, a
# line "hotspot X Y" is expected too; it sets `hotX` and `hotY` and must
# name a drawn pixel.
function(text_picture_read)
  cmake_parse_arguments(arg "HOTSPOT" "INPUT;SIZE;PIXELS;WRONG_PIXEL" "" ${ARGN})
  set(input "${arg_INPUT}")
  set(size ${arg_SIZE})
  file(STRINGS "${input}" lines)
  set(rows "")
  set(hotX "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^#" OR line STREQUAL "")
      continue()
    endif()
    if(arg_HOTSPOT AND line MATCHES "^hotspot ([0-9]+) ([0-9]+)$")
      set(hotX ${CMAKE_MATCH_1})
      set(hotY ${CMAKE_MATCH_2})
      continue()
    endif()
    string(LENGTH "${line}" length)
    if(NOT length EQUAL size)
      message(FATAL_ERROR "${input}: a row of ${length} characters, not ${size}: '${line}'")
    endif()
    if(NOT line MATCHES "^${arg_PIXELS}$")
      message(FATAL_ERROR "${input}: a row with a character ${arg_WRONG_PIXEL}: '${line}'")
    endif()
    list(APPEND rows "${line}")
  endforeach()
  list(LENGTH rows rowCount)
  if(NOT rowCount EQUAL size)
    message(FATAL_ERROR "${input}: ${rowCount} rows, not ${size}")
  endif()
  set(rows "${rows}" PARENT_SCOPE)
  if(NOT arg_HOTSPOT)
    return()
  endif()

  if(hotX STREQUAL "")
    message(FATAL_ERROR "${input}: no 'hotspot X Y' line")
  endif()
  if(hotX GREATER_EQUAL size OR hotY GREATER_EQUAL size)
    message(FATAL_ERROR "${input}: the hot spot ${hotX},${hotY} lies outside the picture")
  endif()
  # A hot spot on a see-through pixel would point where nothing is drawn.
  list(GET rows ${hotY} hotRow)
  string(SUBSTRING "${hotRow}" ${hotX} 1 hotPixel)
  if(hotPixel STREQUAL ".")
    message(FATAL_ERROR "${input}: the hot spot ${hotX},${hotY} is a transparent pixel")
  endif()
  set(hotX ${hotX} PARENT_SCOPE)
  set(hotY ${hotY} PARENT_SCOPE)
endfunction()

set(bytes "")
macro(add_byte value)
  math(EXPR _b "(${value}) & 0xFF")
  list(APPEND bytes ${_b})
endmacro()
macro(add_word value)
  add_byte("(${value}) & 0xFF")
  add_byte("((${value}) >> 8) & 0xFF")
endmacro()
macro(add_dword value)
  add_word("(${value}) & 0xFFFF")
  add_word("((${value}) >> 16) & 0xFFFF")
endmacro()

# BITMAPINFOHEADER of a `size` x `size` picture at `bits` a pixel, followed
# by its transparency mask; the height counts the colour rows and the mask
# rows. `colours` is the palette's length, 0 for all that `bits` allow.
macro(add_bitmap_header bits colours)
  add_dword(40)
  add_dword(${size})
  add_dword("${size} * 2")
  add_word(1)            # planes
  add_word(${bits})      # bits per pixel
  add_dword(0)           # no compression
  add_dword("${size} * ${size} * (${bits} + 1) / 8")  # the colour and mask rows
  add_dword(0)
  add_dword(0)
  add_dword(${colours})  # colours used
  add_dword(0)
endmacro()

# The palette from colours written as RRGGBB; the bitmap stores each as
# blue, green, red, 0.
macro(add_palette)
  foreach(_rgb ${ARGN})
    string(SUBSTRING "${_rgb}" 0 2 _red)
    string(SUBSTRING "${_rgb}" 2 2 _green)
    string(SUBSTRING "${_rgb}" 4 2 _blue)
    add_byte("0x${_blue}")
    add_byte("0x${_green}")
    add_byte("0x${_red}")
    add_byte(0)
  endforeach()
endmacro()

# The picture's rows at `bits` (1 or 4) a pixel, bottom row first. A pixel
# whose character is the n-th one listed after `bits` has the value n; any
# other pixel, 0. The leftmost pixel takes the highest bits of its byte.
# With "." the only character listed, this is the transparency mask.
macro(add_rows bits)
  set(_values ${ARGN})
  math(EXPR _last "${size} - 1")
  math(EXPR _perByte "8 / ${bits}")
  math(EXPR _lastInByte "${_perByte} - 1")
  foreach(_y RANGE ${_last} 0 -1)
    list(GET rows ${_y} _row)
    foreach(_x RANGE 0 ${_last} ${_perByte})
      set(_byte 0)
      foreach(_dx RANGE 0 ${_lastInByte})
        math(EXPR _column "${_x} + ${_dx}")
        string(SUBSTRING "${_row}" ${_column} 1 _c)
        list(FIND _values "${_c}" _index)
        math(EXPR _byte "${_byte} | ((${_index} + 1) << ((${_lastInByte} - ${_dx}) * ${bits}))")
      endforeach()
      add_byte(${_byte})
    endforeach()
  endforeach()
endmacro()
