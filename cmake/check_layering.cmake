cmake_minimum_required(VERSION 3.25)
# Fails when a folder includes a header from a folder it may not use. The
# folders run one way: the runtime at the bottom, the core and each toolkit
# on the runtime alone, the application on top of everything.
#   cmake -DSOURCE_DIR=<project root> -P check_layering.cmake
# Project headers are named from the root ("runtime/heap.h"); any other quoted
# include in these folders is a fault as well. Every target has the root on
# its include path, so an angle-bracket name that begins with one of the
# project's root folders reaches that folder just the same and is held to the
# same rule: the tests' and benchmarks' folders are no folder the program may
# use. Other angle-bracket names are the system's. A "." or ".." segment could
# lead anywhere from a folder that looks allowed, so no include may have one;
# repeated slashes name the same header as one, so they are judged as one.
# The preprocessor joins a line ending in a backslash to the next before it
# reads a directive, so the check does too; #include_next finds its header
# on the same path and is judged alike. An include whose name comes out of a
# macro could name any folder, so it is refused where it stands.
set(folders runtime core toolkit/window toolkit/controls app)
set(project_roots runtime core toolkit app tests bench)
set(uses_runtime runtime)
set(uses_core runtime core)
set(uses_toolkit/window runtime toolkit/window)
set(uses_toolkit/controls runtime toolkit/controls)
set(uses_app runtime core toolkit/window toolkit/controls app)

# Whether a root-relative path begins with one of the project's root folders.
function(in_project path result)
  string(REGEX MATCH "^[^/]*" root "${path}")
  if(root IN_LIST project_roots)
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

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

set(directive "\n[ \t]*#[ \t]*include(_next)?")
set(named_include "^${directive}[ \t]*([\"<])([^\">]*)[\">]")
set(faults)
set(scanned 0)
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
       ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  list(JOIN uses_${folder} "/, " allowed)
  foreach(source IN LISTS sources)
    folder_of(${source} owner)
    if(NOT owner STREQUAL folder)
      continue() # a deeper folder of its own scans it
    endif()
    math(EXPR scanned "${scanned} + 1")
    file(READ ${SOURCE_DIR}/${source} text)
    string(REGEX REPLACE "\\\\[ \t]*\r?\n" "" text "\n${text}")
    # Semicolons and brackets would cut or merge the lines as list items.
    string(REGEX REPLACE "[][;]" "?" text "${text}")
    string(REGEX MATCHALL "${directive}[^\n]*" lines "${text}")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "${named_include}")
        string(REGEX REPLACE "^${directive}[ \t]*|[ \t\r]+$" "" shown "${line}")
        list(APPEND faults "${source} includes ${shown}: a name out of a macro could be any header")
        continue()
      endif()
      set(quote "${CMAKE_MATCH_2}")
      set(header "${CMAKE_MATCH_3}")
      if(quote STREQUAL "<")
        set(shown "<${header}>")
      else()
        set(shown "\"${header}\"")
      endif()
      string(REGEX REPLACE "//+" "/" header "${header}")
      folder_of("${header}" target)
      in_project("${header}" ours)
      if("/${header}/" MATCHES "/\\.\\.?/")
        list(APPEND faults "${source} includes ${shown}: no include may step through . or ..")
      elseif(quote STREQUAL "<" AND NOT ours)
        continue() # a system header
      elseif(NOT target OR NOT target IN_LIST uses_${folder})
        list(APPEND faults "${source} includes ${shown}: ${folder}/ may use only ${allowed}/")
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
