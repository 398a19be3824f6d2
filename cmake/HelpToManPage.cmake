# Makes a manual page from a program's --help text, so the page says what
# the program does and cannot drift from it.
#   cmake -DPROGRAM=path -DNAME=brontalctl -DSUMMARY="..." -DVERSION=1.2.3 -DSEE_ALSO="a(1), b(1)"
#         -DOUTPUT=file.1 -P HelpToManPage.cmake
# Headings of the help ("Commands:" alone on a line) become sections; the rest
# stays as the program lays it out.
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${PROGRAM} --help failed (${status})")
endif()

# troff reads backslashes, and lines that start with a dot or an apostrophe, as its own.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")

string(TOUPPER "${NAME}" title)
set(page ".TH ${title} 1 \"\" \"Brontal Driver ${VERSION}\" \"User Commands\"\n.SH NAME\n${NAME} \\- ${SUMMARY}\n")
set(in_block FALSE)
# Line by line without CMake lists: brackets and semicolons of the help would split them.
while(NOT help STREQUAL "")
  string(FIND "${help}" "\n" end)
  if(end EQUAL -1)
    string(LENGTH "${help}" end)
  endif()
  string(SUBSTRING "${help}" 0 ${end} line)
  math(EXPR next "${end} + 1")
  string(LENGTH "${help}" length)
  if(next GREATER length)
    set(next ${length})
  endif()
  string(SUBSTRING "${help}" ${next} -1 help)
  if(line MATCHES "^Usage: (.*)$")
    string(APPEND page ".SH SYNOPSIS\n.nf\n${CMAKE_MATCH_1}\n.fi\n.SH DESCRIPTION\n.nf\n")
    set(in_block TRUE)
  elseif(line MATCHES "^([A-Za-z][A-Za-z ]*):$")
    string(TOUPPER "${CMAKE_MATCH_1}" heading)
    string(APPEND page ".fi\n.SH ${heading}\n.nf\n")
  else()
    if(line MATCHES "^[.']")
      set(line "\\&${line}")
    endif()
    if(NOT in_block)
      string(APPEND page ".SH DESCRIPTION\n.nf\n")
      set(in_block TRUE)
    endif()
    string(APPEND page "${line}\n")
  endif()
endwhile()
# SEE_ALSO names every page; this one leaves itself out.
string(REPLACE "${NAME}(1), " "" SEE_ALSO "${SEE_ALSO}")
string(REPLACE ", ${NAME}(1)" "" SEE_ALSO "${SEE_ALSO}")
string(APPEND page ".fi\n.SH SEE ALSO\n${SEE_ALSO}\n")
file(WRITE "${OUTPUT}" "${page}")
