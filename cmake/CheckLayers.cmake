# The layer check, run as a build step: every quoted include of a file under
# SOURCE_DIR (src/) must name a folder that the file's own folder may use.
#
#   platform/       platform/ only: it knows nothing of the program
#   resources/      platform/
#   link/           platform/
#   device/         platform/ resources/ link/
#   shell/          platform/ resources/ link/
#   products/ utilities/ upgrade/ isdn/ services/  the above, device/ and
#                   shell/, never each other
#   app/            everything, and the simulator (sim/)
#
# Usage: cmake -DSOURCE_DIR=<src> [-DSTAMP=<file>] -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.22)

set(below_platform platform)
set(below_resources platform resources)
set(below_link platform link)
set(below_device platform resources link device)
set(below_shell platform resources link shell)
set(subsystem_base platform resources link device shell)
set(subsystems products utilities upgrade isdn services)
set(known_folders platform resources link device shell ${subsystems} app sim)

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(problems "")
foreach(file ${files})
  string(REGEX MATCH "^[^/]+" folder "${file}")
  if(folder STREQUAL "app")
    continue()
  elseif(folder IN_LIST subsystems)
    set(allowed ${subsystem_base} ${folder})
  elseif(DEFINED below_${folder})
    set(allowed ${below_${folder}})
  else()
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*" "\\1" target "${line}")
    if(target IN_LIST known_folders AND NOT target IN_LIST allowed)
      string(REPLACE ";" " " allowed_text "${allowed}")
      string(APPEND problems
             "src/${file}: ${line}: ${folder}/ may include only ${allowed_text}\n")
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes against the direction of the layers:\n${problems}")
endif()
if(DEFINED STAMP)
  file(TOUCH ${STAMP})
endif()
