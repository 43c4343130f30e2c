# Helpers shared by the library and test folders.

# vantric_library(NAME <target> [DEPS <targets>...])
# Builds every .cpp/.h in the calling folder (not its subfolders) into one
# static library; the folder above it is the include root, so code writes
# #include "platform/Profile.h".
# A folder with no sources yet gives an interface library, so dependants link.
# main.cpp is left out: it belongs to the executable.
function(vantric_library)
  cmake_parse_arguments(VL "" "NAME" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(cpp)
    add_library(${VL_NAME} STATIC ${sources})
    target_include_directories(${VL_NAME} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${VL_NAME} PUBLIC ${VL_DEPS})
  else()
    add_library(${VL_NAME} INTERFACE)
    target_include_directories(${VL_NAME} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${VL_NAME} INTERFACE ${VL_DEPS})
  endif()
endfunction()

# The shared corpus of real sample files the corpus tests and benchmarks read.
# Beside the source tree by default; the environment variable of the same name
# overrides it at configure time, and again when a test runs.
if(DEFINED ENV{VANTRIC_CORPUS_DIR})
  set(corpus_default "$ENV{VANTRIC_CORPUS_DIR}")
else()
  get_filename_component(corpus_default "${PROJECT_SOURCE_DIR}/../shared/corpus" ABSOLUTE)
endif()
set(VANTRIC_CORPUS_DIR "${corpus_default}" CACHE PATH "Folder of the shared sample-file corpus")

# vantric_tests(DEPS <targets>...)
# Every tst_*.cpp in the calling folder becomes one QtTest executable and one
# CTest test, run offscreen with a private configuration folder. Files named
# helper_*.cpp / *.h in the folder are shared fixtures compiled into each.
function(vantric_tests)
  cmake_parse_arguments(VT "" "" "DEPS" ${ARGN})
  file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
  file(GLOB helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/helper_*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${PROJECT_SOURCE_DIR}/tests/common/*.cpp
       ${PROJECT_SOURCE_DIR}/tests/common/*.h)
  get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  foreach(src ${tests})
    get_filename_component(name ${src} NAME_WE)
    set(target ${folder}_${name})
    add_executable(${target} ${src} ${helpers})
    target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                               ${PROJECT_SOURCE_DIR}/tests/common)
    target_link_libraries(${target} PRIVATE ${VT_DEPS} vantric_wmf_writer Qt6::Test)
    target_compile_definitions(${target} PRIVATE
      VANTRIC_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
      VANTRIC_CORPUS_DIR="${VANTRIC_CORPUS_DIR}"
      VANTRIC_DATA_DIR="${PROJECT_SOURCE_DIR}/data")
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${target}.config"
      TIMEOUT 300)
  endforeach()
endfunction()
