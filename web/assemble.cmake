# Writes the page twice: as site/ (index.html with the style, the script and the module as
# files of their own, for serving) and as one kentrikh.html with all three inlined.

file(READ ${SOURCE_DIR}/page.html page)
file(READ ${SOURCE_DIR}/page.css style)
file(READ ${SOURCE_DIR}/page.js script)
file(READ ${MODULE} module)

file(MAKE_DIRECTORY ${SITE})
configure_file(${SOURCE_DIR}/page.css ${SITE}/page.css COPYONLY)
configure_file(${SOURCE_DIR}/page.js ${SITE}/page.js COPYONLY)
configure_file(${MODULE} ${SITE}/kentrikh.js COPYONLY)
set(served "${page}")
string(REPLACE "<!--style-->" "<link rel=\"stylesheet\" href=\"page.css\">" served "${served}")
string(REPLACE "<!--scripts-->"
    "<script src=\"kentrikh.js\"></script>\n<script src=\"page.js\"></script>" served "${served}")
file(WRITE ${SITE}/index.html "${served}")

# A "</script" inside an inlined script would end it early.
foreach(part module script)
    string(FIND "${${part}}" "</script" at)
    if(NOT at EQUAL -1)
        message(FATAL_ERROR "${part} contains </script and cannot be inlined")
    endif()
endforeach()
set(single "${page}")
string(REPLACE "<!--style-->" "<style>\n${style}</style>" single "${single}")
string(REPLACE "<!--scripts-->" "<script>\n${module}</script>\n<script>\n${script}</script>"
    single "${single}")
file(WRITE ${SINGLE} "${single}")
