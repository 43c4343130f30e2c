# Fails when an #include under src/ points up the library diagram of
# ENGINEERING.md, or when a folder that must link without a GUI includes a
# widget or print-support header.
# Run as: cmake -DSRC=<src> -DWIDGETS=<QtWidgets include dir>
#               -DPRINT=<QtPrintSupport include dir> -P CheckLayers.cmake

cmake_minimum_required(VERSION 3.25)

# Each folder and the project folders it may include from (itself included).
set(allowed_platform      platform)
set(allowed_platform/ui   platform platform/ui)
set(allowed_wmf           wmf platform)
set(allowed_wmf/writer    wmf/writer wmf platform)
set(allowed_designer      designer platform)
set(allowed_document      document designer wmf platform)
set(allowed_print         print document designer wmf platform platform/ui)
set(allowed_ringdesigner  ringdesigner print document designer wmf platform platform/ui)
set(allowed_view          view print document designer wmf platform platform/ui)
set(allowed_thumbnails    thumbnails print document designer wmf platform platform/ui)
set(allowed_shellext      shellext document designer wmf platform)
set(allowed_app           app thumbnails view ringdesigner print document designer wmf platform platform/ui)
set(no_gui platform wmf wmf/writer designer document shellext)

set(faults "")
file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp)
foreach(file ${files})
  get_filename_component(folder ${file} DIRECTORY)
  if(NOT DEFINED allowed_${folder})
    list(APPEND faults "${file}: folder ${folder} has no place in the diagram")
    continue()
  endif()
  file(STRINGS ${SRC}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${includes})
    if(line MATCHES "#[ \t]*include[ \t]*\"([a-z/]+)/[A-Za-z0-9_]+\\.h\"")
      set(target ${CMAKE_MATCH_1})
      if(NOT target IN_LIST allowed_${folder})
        list(APPEND faults "${file}: includes ${target}/, above or beside ${folder}/")
      endif()
    elseif(folder IN_LIST no_gui AND line MATCHES "#[ \t]*include[ \t]*<(Qt[A-Za-z]+/)?(Q[A-Za-z]+)>")
      set(header ${CMAKE_MATCH_2})
      if(CMAKE_MATCH_1 MATCHES "^Qt(Widgets|PrintSupport)/$" OR header MATCHES "^Qt(Widgets|PrintSupport)$"
         OR EXISTS ${WIDGETS}/${header} OR EXISTS ${PRINT}/${header})
        list(APPEND faults "${file}: ${folder}/ links without a GUI but includes <${header}>")
      endif()
    endif()
  endforeach()
endforeach()

list(LENGTH files count)
if(faults)
  list(JOIN faults "\n" text)
  message(FATAL_ERROR "Include arrows that break the layering:\n${text}")
endif()
message(STATUS "${count} files under src/ keep the layering")
