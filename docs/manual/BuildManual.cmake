# Copies the manual from SOURCE to DESTINATION and makes the one-page form, manuel.html: the
# <main> part of every page listed in pages.txt, in that order, each in a section named
# "page-<name>", with the links between pages turned into links inside the one page.
# LANG is the manual's language, fr (the default) or en, for the one page's own texts. What
# SOURCE lacks (pages.txt, style.css, a picture of images/) is taken from FALLBACK when given:
# the English manual shares the French style sheet and shows the French pictures it has none of.
#   cmake -DSOURCE=docs/manual -DDESTINATION=build/bin/aide -P BuildManual.cmake
#   cmake -DSOURCE=docs/manual/en -DFALLBACK=docs/manual -DLANG=en \
#         -DDESTINATION=build/bin/aide/en -P BuildManual.cmake
cmake_minimum_required(VERSION 3.21)
foreach(var SOURCE DESTINATION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "BuildManual.cmake needs -D${var}=...")
  endif()
endforeach()
foreach(var SOURCE FALLBACK DESTINATION)
  if(DEFINED ${var})
    get_filename_component(${var} "${${var}}" ABSOLUTE)
  endif()
endforeach()
if(NOT DEFINED LANG)
  set(LANG fr)
endif()
if(LANG STREQUAL "fr")
  set(title "Manuel de JOV (une page)")
  set(pages_link "Le manuel en plusieurs pages")
  set(footer "JOV 3.0.0 — manuel de l'utilisateur, en une page")
elseif(LANG STREQUAL "en")
  set(title "JOV manual (one page)")
  set(pages_link "The manual on several pages")
  set(footer "JOV 3.0.0 — user manual, on one page")
else()
  message(FATAL_ERROR "BuildManual.cmake: LANG is fr or en, not ${LANG}")
endif()

# The file `name` of SOURCE, else that of FALLBACK; empty when neither has it.
function(manual_file name out)
  set(path "")
  if(EXISTS ${SOURCE}/${name})
    set(path ${SOURCE}/${name})
  elseif(DEFINED FALLBACK AND EXISTS ${FALLBACK}/${name})
    set(path ${FALLBACK}/${name})
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()

file(MAKE_DIRECTORY ${DESTINATION}/images)
file(GLOB pages_html ${SOURCE}/*.html)
manual_file(style.css style)
manual_file(pages.txt pages_list)
if(NOT style OR NOT pages_list)
  message(FATAL_ERROR "${SOURCE} has no style.css or pages.txt, and no FALLBACK gives them")
endif()
file(COPY ${pages_html} ${style} DESTINATION ${DESTINATION})
set(picture_names "")
foreach(folder ${FALLBACK} ${SOURCE})
  file(GLOB names RELATIVE ${folder}/images ${folder}/images/*.png)
  list(APPEND picture_names ${names})
endforeach()
list(REMOVE_DUPLICATES picture_names)
foreach(name ${picture_names})
  manual_file(images/${name} picture)
  file(COPY ${picture} DESTINATION ${DESTINATION}/images)
endforeach()

file(STRINGS ${pages_list} pages)
set(body "")
foreach(page ${pages})
  if(NOT EXISTS ${SOURCE}/${page}.html)
    message(FATAL_ERROR "pages.txt names ${page}, but ${page}.html is missing")
  endif()
  file(READ ${SOURCE}/${page}.html text)
  string(FIND "${text}" "<main>" start)
  string(FIND "${text}" "</main>" end)
  if(start LESS 0 OR end LESS start)
    message(FATAL_ERROR "${page}.html has no <main> part")
  endif()
  math(EXPR start "${start} + 6")
  math(EXPR length "${end} - ${start}")
  string(SUBSTRING "${text}" ${start} ${length} part)
  # Page#anchor becomes #anchor (anchors are unique across the manual); a page becomes its section.
  string(REGEX REPLACE "href=\"[a-z-]+\\.html#" "href=\"#" part "${part}")
  string(REGEX REPLACE "href=\"([a-z-]+)\\.html\"" "href=\"#page-\\1\"" part "${part}")
  string(APPEND body "<section class=\"page\" id=\"page-${page}\">${part}</section>\n")
endforeach()

file(WRITE ${DESTINATION}/manuel.html "<!DOCTYPE html>
<html lang=\"${LANG}\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>${title}</title>
<link rel=\"stylesheet\" href=\"style.css\">
</head>
<body>
<header>
<nav><a href=\"index.html\">${pages_link}</a></nav>
</header>
<main>
${body}</main>
<footer>${footer}</footer>
</body>
</html>
")
