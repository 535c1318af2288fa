# cmake -DPROGRAM=path -DNAME=name -DSUMMARY=text -DVERSION=x -DOUT=file.1 -P ManPage.cmake
# Writes a manual page from the program's own --help, so the two never differ.
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()
# roff: backslashes and hyphens literal, no line taken for a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TIMESTAMP date "%Y-%m-%d" UTC)
string(TOUPPER "${NAME}" title)
file(WRITE ${OUT} ".TH ${title} 1 \"${date}\" \"TELVANE ${VERSION}\" \"User Commands\"
.SH NAME
${NAME} \\- ${SUMMARY}
.SH DESCRIPTION
.nf
${help}.fi
.SH SEE ALSO
telvane\\-cli(1), telvane\\-boardsim(1); the help page of TELVANE (Help, Help Topics).
")
