# The layering of src/, as the library diagram of ENGINEERING.md draws it:
# - a folder includes and links only the folders below it in the table;
# - units (a header and its source of the same name) include each other in
#   no cycle;
# - a folder that must link without a GUI neither includes a widget or
#   print-support header nor links Qt Widgets or Qt PrintSupport.
#
# include()d by the top CMakeLists.txt after every folder of src/: it writes
# the link graph of the targets under src/ and checks the layering at build
# time (target "layering", in ALL; a wrong include fails the build).
# Run as a script it checks:
#   cmake -DSRC=<src> -DLINKS=<link graph> -DWIDGETS=<QtWidgets include dir>
#         -DPRINT=<QtPrintSupport include dir> -P CheckLayers.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT CMAKE_SCRIPT_MODE_FILE)
  # Every target defined under src/ and what it links: "target|folder|folder
  # linked", or "target|folder|<name>" for a library from outside the tree.
  set(arrows "")
  set(dirs ${PROJECT_SOURCE_DIR})
  while(dirs)
    list(POP_FRONT dirs dir)
    get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
    list(APPEND dirs ${subdirs})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/src ${dir})
    if(folder MATCHES "^\\.\\.")
      continue()
    endif()
    get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(links ${target} LINK_LIBRARIES)
      get_target_property(interface_links ${target} INTERFACE_LINK_LIBRARIES)
      foreach(link IN LISTS links interface_links)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" link "${link}")
        if(NOT link OR link MATCHES "-NOTFOUND$|^\\$<")
          continue()
        endif()
        set(to "<${link}>")
        if(TARGET ${link})
          get_target_property(imported ${link} IMPORTED)
          get_target_property(link_dir ${link} SOURCE_DIR)
          if(NOT imported)
            file(RELATIVE_PATH to ${PROJECT_SOURCE_DIR}/src ${link_dir})
          endif()
        endif()
        list(APPEND arrows "${target}|${folder}|${to}")
      endforeach()
    endforeach()
  endwhile()
  list(REMOVE_DUPLICATES arrows)
  set(graph ${CMAKE_BINARY_DIR}/layering/links.cmake)
  file(WRITE ${graph}.new "set(link_arrows \"${arrows}\")\n")
  configure_file(${graph}.new ${graph} COPYONLY)  # touched only when it changes

  get_target_property(widget_dirs Qt6::Widgets INTERFACE_INCLUDE_DIRECTORIES)
  get_target_property(print_dirs Qt6::PrintSupport INTERFACE_INCLUDE_DIRECTORIES)
  list(FILTER widget_dirs INCLUDE REGEX "QtWidgets$")
  list(FILTER print_dirs INCLUDE REGEX "QtPrintSupport$")
  set(VANTRIC_LAYERS_CHECK ${CMAKE_COMMAND} -DSRC=${PROJECT_SOURCE_DIR}/src -DLINKS=${graph}
      "-DWIDGETS=${widget_dirs}" "-DPRINT=${print_dirs}" -P ${CMAKE_CURRENT_LIST_FILE})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.h ${PROJECT_SOURCE_DIR}/src/*.cpp)
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/layering/checked
    COMMAND ${VANTRIC_LAYERS_CHECK}
    COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/layering/checked
    DEPENDS ${sources} ${graph} ${CMAKE_CURRENT_LIST_FILE}
    COMMENT "Checking the layering of src/" VERBATIM)
  add_custom_target(layering ALL DEPENDS ${CMAKE_BINARY_DIR}/layering/checked)
  return()
endif()

# Each folder and the folders it may include from and link (itself included).
set(allowed_platform      platform)
set(allowed_platform/ui   platform/ui platform)
set(allowed_wmf           wmf platform)
set(allowed_wmf/writer    wmf/writer wmf platform)
set(allowed_designer      designer platform)
set(allowed_document      document designer wmf platform)
set(allowed_print         print document designer wmf platform platform/ui)
set(allowed_view          view print document designer wmf platform platform/ui)
set(allowed_ringdesigner  ringdesigner print document designer wmf platform platform/ui)
set(allowed_thumbnails    thumbnails print document designer wmf platform platform/ui)
set(allowed_shellext      shellext document designer wmf platform)
set(allowed_app           app thumbnails view ringdesigner print document designer wmf platform platform/ui)
set(no_gui platform wmf wmf/writer designer document shellext)
# Groups of units that may include each other; each entry is one group.
set(allowed_cycles "")

# ---- Interim: the cycles of the raster decoders and of the file kinds
# ---- that today's tree still has. Delete this block when they are broken.
list(APPEND allowed_cycles
  "document/BmpDecoder document/JpegDecoder document/PngDecoder document/RasterImage"
  "document/FileKinds document/TargetImage")
# ---- End of the interim block.

set(faults "")
set(group 0)
foreach(members IN LISTS allowed_cycles)
  math(EXPR group "${group} + 1")
  string(REPLACE " " ";" members "${members}")
  foreach(unit IN LISTS members)
    set(group_of_${unit} ${group})
  endforeach()
endforeach()

# The include arrows, and the units each unit includes.
file(GLOB_RECURSE files RELATIVE ${SRC} ${SRC}/*.h ${SRC}/*.cpp)
set(units "")
foreach(file IN LISTS files)
  get_filename_component(folder ${file} DIRECTORY)
  string(REGEX REPLACE "\\.(h|cpp)$" "" unit ${file})
  list(APPEND units ${unit})
  if(NOT DEFINED allowed_${folder})
    list(APPEND faults "${file}: folder ${folder}/ has no place in the diagram")
    continue()
  endif()
  file(STRINGS ${SRC}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS includes)
    if(line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      set(path ${CMAKE_MATCH_1})
      if(NOT path MATCHES "/")
        set(path ${folder}/${path})
      endif()
      get_filename_component(to ${path} DIRECTORY)
      if(NOT to IN_LIST allowed_${folder})
        list(APPEND faults "${file}: includes ${path}, above or beside ${folder}/")
      endif()
      string(REGEX REPLACE "\\.h$" "" included ${path})
      if(EXISTS ${SRC}/${path} AND NOT included STREQUAL unit
         AND NOT (DEFINED group_of_${unit} AND "${group_of_${unit}}" STREQUAL "${group_of_${included}}"))
        list(APPEND includes_${unit} ${included})
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
list(REMOVE_DUPLICATES units)

# The link arrows.
include(${LINKS})
foreach(arrow IN LISTS link_arrows)
  string(REPLACE "|" ";" arrow "${arrow}")
  list(GET arrow 0 target)
  list(GET arrow 1 folder)
  list(GET arrow 2 to)
  if(NOT DEFINED allowed_${folder})
    list(APPEND faults "target ${target}: folder ${folder}/ has no place in the diagram")
  elseif(to MATCHES "^<(.*)>$")
    set(library ${CMAKE_MATCH_1})
    if(folder IN_LIST no_gui AND library MATCHES "^Qt6?::(Widgets|PrintSupport)$")
      list(APPEND faults "target ${target}: ${folder}/ links without a GUI but links ${library}")
    endif()
  elseif(NOT to IN_LIST allowed_${folder})
    list(APPEND faults "target ${target}: links ${to}/, above or beside ${folder}/")
  endif()
endforeach()

# Include cycles: leave out, again and again, every unit that includes none
# of those left; what stays is on a cycle or leads into one. Walk from one of
# them until a unit comes round again, name that cycle, and go on without it.
set(left ${units})
while(left)
  set(peeled TRUE)
  while(peeled)
    set(peeled FALSE)
    foreach(unit IN LISTS left)
      set(stays FALSE)
      foreach(included IN LISTS includes_${unit})
        if(included IN_LIST left)
          set(stays TRUE)
          break()
        endif()
      endforeach()
      if(NOT stays)
        list(REMOVE_ITEM left ${unit})
        set(peeled TRUE)
      endif()
    endforeach()
  endwhile()
  if(NOT left)
    break()
  endif()
  list(GET left 0 unit)
  set(path "")
  while(NOT unit IN_LIST path)
    list(APPEND path ${unit})
    foreach(included IN LISTS includes_${unit})
      if(included IN_LIST left)
        set(unit ${included})
        break()
      endif()
    endforeach()
  endwhile()
  list(FIND path ${unit} start)
  list(SUBLIST path ${start} -1 cycle)
  list(APPEND cycle ${unit})
  list(JOIN cycle " -> " text)
  list(APPEND faults "include cycle between units: ${text}")
  list(REMOVE_ITEM left ${cycle})
endwhile()

if(faults)
  foreach(fault IN LISTS faults)
    message(NOTICE "layering: ${fault}")
  endforeach()
  list(LENGTH faults count)
  message(FATAL_ERROR "${count} arrows or cycles break the layering of src/")
endif()
list(LENGTH files count)
message(STATUS "${count} files and the links of src/ keep the layering")
