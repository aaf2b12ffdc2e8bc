# Turns the text picture of a mouse pointer into a cursor file (.cur) with
# one 32 x 32 black-and-white image and its hot spot, and a resource script
# that takes it in as cursor ID:
#
#   cmake -DINPUT=pointing-hand.txt -DOUTPUT=pointing-hand.rc
#         -DID=IDC_POINTINGHAND -P MakeCursor.cmake
#
# writes pointing-hand.cur beside pointing-hand.rc. The number is named as
# in ui/resource.h, which the script includes. (Raw cursor resources in the
# script itself would be simpler, but windres files a raw cursor directory
# under the icon directories, where no cursor is looked for.)
#
# The file is a cursor directory naming the image, then the image as a
# device-independent bitmap: the header, a two-colour palette, the image
# rows bottom-up at 1 bit a pixel, then the transparency mask bottom-up at
# 1 bit a pixel. Black is image 0 mask 0, white image 1 mask 0, transparent
# image 0 mask 1. CMake cannot write a zero byte, so printf writes the file
# from octal escapes.

foreach(var INPUT OUTPUT ID)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "MakeCursor.cmake: ${var} is not set")
  endif()
endforeach()

set(size 32)
file(STRINGS "${INPUT}" lines)
set(rows "")
set(hotX "")
foreach(line IN LISTS lines)
  if(line MATCHES "^#" OR line STREQUAL "")
    continue()
  endif()
  if(line MATCHES "^hotspot ([0-9]+) ([0-9]+)$")
    set(hotX ${CMAKE_MATCH_1})
    set(hotY ${CMAKE_MATCH_2})
    continue()
  endif()
  string(LENGTH "${line}" length)
  if(NOT length EQUAL size)
    message(FATAL_ERROR "${INPUT}: a row of ${length} characters, not ${size}: '${line}'")
  endif()
  if(NOT line MATCHES "^[Xo.]+$")
    message(FATAL_ERROR "${INPUT}: a row with a character other than X, o and '.': '${line}'")
  endif()
  list(APPEND rows "${line}")
endforeach()
list(LENGTH rows rowCount)
if(NOT rowCount EQUAL size)
  message(FATAL_ERROR "${INPUT}: ${rowCount} rows, not ${size}")
endif()
if(hotX STREQUAL "")
  message(FATAL_ERROR "${INPUT}: no 'hotspot X Y' line")
endif()
if(hotX GREATER_EQUAL size OR hotY GREATER_EQUAL size)
  message(FATAL_ERROR "${INPUT}: the hot spot ${hotX},${hotY} lies outside the picture")
endif()
# A hot spot on a see-through pixel would point where nothing is drawn.
list(GET rows ${hotY} hotRow)
string(SUBSTRING "${hotRow}" ${hotX} 1 hotPixel)
if(hotPixel STREQUAL ".")
  message(FATAL_ERROR "${INPUT}: the hot spot ${hotX},${hotY} is a transparent pixel")
endif()

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

set(planeBytes 128)  # 32 rows of 4 bytes, for the image and for the mask
math(EXPR imageBytes "40 + 2 * 4 + 2 * ${planeBytes}")

# The cursor directory: reserved, type 2 (cursor), one image; the image's
# width, height, colour count (0: not a palette count here), reserved, its
# hot spot, its size and where it starts (after these 22 bytes).
add_word(0)
add_word(2)
add_word(1)
add_byte(${size})
add_byte(${size})
add_byte(0)
add_byte(0)
add_word(${hotX})
add_word(${hotY})
add_dword(${imageBytes})
add_dword(22)

# BITMAPINFOHEADER; the height counts the image rows and the mask rows.
add_dword(40)
add_dword(${size})
add_dword("${size} * 2")
add_word(1)    # planes
add_word(1)    # bits per pixel
add_dword(0)   # no compression
add_dword("2 * ${planeBytes}")
add_dword(0)
add_dword(0)
add_dword(2)   # colours used
add_dword(0)

# The palette, as blue, green, red, 0: black, then white.
add_dword(0x00000000)
add_dword(0x00FFFFFF)

# One plane of rows, bottom row first: a bit is set where the pixel's
# character is `on`; the leftmost pixel is the highest bit of its byte.
macro(add_plane on)
  math(EXPR last "${size} - 1")
  foreach(y RANGE ${last} 0 -1)
    list(GET rows ${y} row)
    foreach(x RANGE 0 ${last} 8)
      set(byte 0)
      foreach(dx RANGE 0 7)
        math(EXPR column "${x} + ${dx}")
        string(SUBSTRING "${row}" ${column} 1 c)
        if(c STREQUAL "${on}")
          math(EXPR byte "${byte} | (1 << (7 - ${dx}))")
        endif()
      endforeach()
      add_byte(${byte})
    endforeach()
  endforeach()
endmacro()

add_plane("o")  # the image: white pixels
add_plane(".")  # the mask: transparent pixels

list(LENGTH bytes byteCount)
math(EXPR expectedBytes "22 + ${imageBytes}")
if(NOT byteCount EQUAL expectedBytes)
  message(FATAL_ERROR "MakeCursor.cmake: made ${byteCount} bytes, expected ${expectedBytes}")
endif()

set(escapes "")
foreach(b IN LISTS bytes)
  math(EXPR d1 "${b} / 64")
  math(EXPR d2 "(${b} / 8) % 8")
  math(EXPR d3 "${b} % 8")
  string(APPEND escapes "\\${d1}${d2}${d3}")
endforeach()

get_filename_component(directory "${OUTPUT}" DIRECTORY)
get_filename_component(stem "${OUTPUT}" NAME_WE)
set(cursorFile "${directory}/${stem}.cur")
find_program(PRINTF printf REQUIRED)
execute_process(COMMAND "${PRINTF}" "${escapes}" OUTPUT_FILE "${cursorFile}" RESULT_VARIABLE result)
file(SIZE "${cursorFile}" written)
if(NOT result EQUAL 0 OR NOT written EQUAL expectedBytes)
  message(FATAL_ERROR "MakeCursor.cmake: printf wrote ${written} bytes of ${expectedBytes} into ${cursorFile}")
endif()

file(WRITE "${OUTPUT}"
"// Generated by MakeCursor.cmake from ${INPUT}; do not edit.
#include \"ui/resource.h\"

${ID} CURSOR \"${cursorFile}\"
")
