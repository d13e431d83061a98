cmake_minimum_required(VERSION 3.25)
# Fails when a folder includes a header from a folder it may not use. The
# folders run one way: the runtime at the bottom, the core and each toolkit
# on the runtime alone, the application on top of everything.
#   cmake -DSOURCE_DIR=<project root> -P check_layering.cmake
# Project headers are named from the root ("runtime/heap.h"); any other quoted
# include in these folders is a fault as well.
set(folders runtime core toolkit/window toolkit/controls app)
set(uses_runtime runtime)
set(uses_core runtime core)
set(uses_toolkit/window runtime toolkit/window)
set(uses_toolkit/controls runtime toolkit/controls)
set(uses_app runtime core toolkit/window toolkit/controls app)

# The folder of a root-relative path, or "" for a path in none of them.
function(folder_of path result)
  set(found "")
  foreach(folder IN LISTS folders)
    string(LENGTH "${folder}/" length)
    string(SUBSTRING "${path}" 0 ${length} head)
    if(head STREQUAL "${folder}/")
      set(found ${folder})
    endif()
  endforeach()
  set(${result} "${found}" PARENT_SCOPE)
endfunction()

set(faults)
set(scanned 0)
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
       ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(source IN LISTS sources)
    folder_of(${source} owner)
    if(NOT owner STREQUAL folder)
      continue() # a deeper folder of its own scans it
    endif()
    math(EXPR scanned "${scanned} + 1")
    file(STRINGS ${SOURCE_DIR}/${source} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
      folder_of("${header}" target)
      if(NOT target OR NOT target IN_LIST uses_${folder})
        list(JOIN uses_${folder} "/, " allowed)
        list(APPEND faults "${source} includes \"${header}\": ${folder}/ may use only ${allowed}/")
      endif()
    endforeach()
  endforeach()
endforeach()

if(scanned EQUAL 0)
  message(FATAL_ERROR "no sources found under ${SOURCE_DIR}")
endif()
if(faults)
  list(JOIN faults "\n  " listed)
  message(FATAL_ERROR "includes against the layering:\n  ${listed}")
endif()
message(STATUS "${scanned} files keep to the layering")
