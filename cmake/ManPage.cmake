# Writes quibex-report's man page from the program's own help texts, so the
# page says what the program it ships with says:
#   cmake -DREPORTER=path/to/quibex-report -DOUTPUT=quibex-report.1 -P ManPage.cmake
# The main help gives SYNOPSIS and DESCRIPTION and names the commands; each
# command's --help becomes a subsection of COMMANDS. The texts keep their
# own line layout (no filling).

foreach(var REPORTER OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "ManPage.cmake needs -D${var}=...")
  endif()
endforeach()

function(run_reporter out)
  execute_process(COMMAND ${REPORTER} ${ARGN} OUTPUT_VARIABLE text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "'${REPORTER} ${ARGN}' failed (${rc})")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Text as roff reads it verbatim: backslashes and minus signs escaped, and
# a line that starts with a control character kept from being a request.
function(roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(REGEX REPLACE "\n+$" "" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

run_reporter(version --version)
string(STRIP "${version}" version)
run_reporter(help --help)

# The usage lines come first, up to the first blank line.
string(FIND "${help}" "\n\n" end)
string(SUBSTRING "${help}" 0 ${end} synopsis)
math(EXPR rest "${end} + 2")
string(SUBSTRING "${help}" ${rest} -1 description)
string(REGEX REPLACE "^Usage: +" "" synopsis "${synopsis}")
string(REGEX REPLACE "\n       " "\n" synopsis "${synopsis}")

# The commands are the indented words of the "Commands" paragraph.
string(REGEX MATCH "\nCommands[^\n]*\n(  [^\n]*\n)+" commandBlock "\n${help}")
string(REGEX MATCHALL "\n  [a-z][a-z-]*" commands "${commandBlock}")
if(NOT commands)
  message(FATAL_ERROR "no commands in '${REPORTER} --help'")
endif()

roff_text(synopsis "${synopsis}")
roff_text(description "${description}")
set(page ".\\\" Written from the help texts of ${version} by cmake/ManPage.cmake.
.TH QUIBEX\\-REPORT 1 \"\" \"${version}\" \"User Commands\"
.SH NAME
quibex\\-report \\- measure and check Visual Basic 6 projects and project groups
.SH SYNOPSIS
.nf
${synopsis}
.fi
.SH DESCRIPTION
.nf
${description}
.fi
.SH COMMANDS
")
foreach(command ${commands})
  string(STRIP "${command}" command)
  run_reporter(text ${command} --help)
  roff_text(text "${text}")
  string(APPEND page ".SS quibex\\-report ${command}\n.nf\n${text}\n.fi\n")
endforeach()
string(APPEND page ".SH SEE ALSO
The README, with examples for CI jobs: /usr/share/doc/quibex\\-report/README.md
")
file(WRITE "${OUTPUT}" "${page}")
