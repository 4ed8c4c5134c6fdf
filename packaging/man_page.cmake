# Writes the manual page from the program's own --help, so that the two never disagree.
#   cmake -DPROGRAM=... -DVERSION=... -DOUTPUT=... -P man_page.cmake
execute_process(COMMAND "${PROGRAM}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${PROGRAM} --help failed: ${status}")
endif()

# In roff a backslash starts an escape, a hyphen may become a dash, and a line that begins
# with a dot or a quote is a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REPLACE "-" "\\-" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")

string(CONCAT page
    ".TH KENTRIKH 1 \"\" \"kentrikh ${VERSION}\" \"User Commands\"\n"
    ".SH NAME\n"
    "kentrikh \\- a charged particle under a central force and a magnetic field\n"
    ".SH SYNOPSIS\n"
    ".B kentrikh\n"
    "[\\fB\\-\\-headless\\fR] [\\fB\\-\\-screen\\-height\\fR \\fIPIXELS\\fR] [\\fIACTION\\fR ...]\n"
    ".SH DESCRIPTION\n"
    "Without arguments, kentrikh opens its window. In the window, Ctrl+C copies the picture,\n"
    "Ctrl+S saves it as PNG, Ctrl+Shift+S saves the run as CSV and F1 shows what each\n"
    "control does.\n"
    ".PP\n"
    "What\n"
    ".B kentrikh \\-\\-help\n"
    "prints:\n"
    ".PP\n"
    ".nf\n"
    "${help}"
    ".fi\n")
file(WRITE "${OUTPUT}" "${page}")
