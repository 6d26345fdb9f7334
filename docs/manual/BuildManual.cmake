# Copies the manual from SOURCE to DESTINATION and makes the one-page form, manuel.html: the
# <main> part of every page listed in pages.txt, in that order, each in a section named
# "page-<name>", with the links between pages turned into links inside the one page.
#   cmake -DSOURCE=docs/manual -DDESTINATION=build/bin/aide -P BuildManual.cmake
cmake_minimum_required(VERSION 3.21)
foreach(var SOURCE DESTINATION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "BuildManual.cmake needs -D${var}=...")
  endif()
endforeach()

file(MAKE_DIRECTORY ${DESTINATION}/images)
file(GLOB pages_html ${SOURCE}/*.html)
file(GLOB pictures ${SOURCE}/images/*.png)
file(COPY ${pages_html} ${SOURCE}/style.css DESTINATION ${DESTINATION})
if(pictures)
  file(COPY ${pictures} DESTINATION ${DESTINATION}/images)
endif()

file(STRINGS ${SOURCE}/pages.txt pages)
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
<html lang=\"fr\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>Manuel de JOV (une page)</title>
<link rel=\"stylesheet\" href=\"style.css\">
</head>
<body>
<header>
<nav><a href=\"index.html\">Le manuel en plusieurs pages</a></nav>
</header>
<main>
${body}</main>
<footer>JOV 3.0.0 — manuel de l'utilisateur, en une page</footer>
</body>
</html>
")
