cmake_policy(SET CMP0057 NEW)
# Fails unless PROGRAM imports exactly these functions from exactly these
# DLLs. A call added or dropped shows here first, and the list is the place
# to check it against the oldest Windows the program is meant for: Windows
# Vista. The Windows API documentation gives Vista as the minimum supported
# client of the four COMCTL32 functions and Windows 2000 or XP for every
# KERNEL32, USER32 and GDI32 function below. CRTDLL, the system's first C
# runtime library, is outside that documentation; the program takes only
# these six long-standing entries from it. Texts reach USER32 through the
# Unicode forms (the W calls), converted from the program's Windows-1252 by
# the runtime itself, so that no text depends on the system's code page.
set(expected_imports
  "COMCTL32.DLL: ImageList_Add ImageList_Create ImageList_ReplaceIcon InitCommonControls"
  "CRTDLL.DLL: __GetMainArgs exit raise signal strchr strlen"
  "GDI32.DLL: CreateBrushIndirect GetObjectType GetStockObject"
  "KERNEL32.DLL: ExitProcess GetCommandLineA GetModuleHandleA GetTickCount GlobalAlloc GlobalFree
   HeapAlloc HeapCreate HeapDestroy HeapFree HeapReAlloc"
  "USER32.DLL: AdjustWindowRect CreateAcceleratorTableA CreateWindowExW DefWindowProcW
   DestroyAcceleratorTable DestroyWindow DispatchMessageW EnableWindow EnumChildWindows
   GetActiveWindow GetClassNameA GetFocus GetMessageW GetSysColor GetSystemMetrics GetWindow
   GetWindowLongA GetWindowTextW IsChild IsWindowEnabled IsWindowVisible LoadCursorA LoadIconA
   PostMessageA RegisterClassW SendMessageA SendMessageW SetFocus SetWindowPos ShowWindow
   TranslateAcceleratorW TranslateMessage UnregisterClassW wvsprintfA")

set(expected)
foreach(entry IN LISTS expected_imports)
  string(REGEX MATCH "^[^:]+" dll "${entry}")
  string(REGEX REPLACE "^[^:]+:" "" functions "${entry}")
  string(REGEX MATCHALL "[^ \t\r\n]+" functions "${functions}")
  foreach(function IN LISTS functions)
    list(APPEND expected "${dll}!${function}")
  endforeach()
endforeach()

if(NOT OBJDUMP OR NOT EXISTS "${OBJDUMP}")
  message(FATAL_ERROR "no MinGW objdump to read the imports with (binutils-mingw-w64-i686)")
endif()
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "cannot read ${PROGRAM}")
endif()
# Each DLL's table: "DLL Name: X", then one line per function, "vma hint
# name" or, in newer binutils (2.44), "vma <none> hint name" (an import by
# number alone would show no name and fail below).
set(entry "\n\t[0-9a-f]+(\t +[0-9]+|  <none>  [0-9a-f]+)  ")
string(REGEX MATCHALL "DLL Name: [^\r\n]+|${entry}[^\r\n]*" lines "${dump}")
set(found)
set(dll "")
foreach(line IN LISTS lines)
  if(line MATCHES "^DLL Name: (.+)$")
    string(TOUPPER "${CMAKE_MATCH_1}" dll)
  elseif(line MATCHES "^${entry}([^ ]*)")
    list(APPEND found "${dll}!${CMAKE_MATCH_2}")
  endif()
endforeach()

set(added)
foreach(import IN LISTS found)
  if(NOT import IN_LIST expected)
    list(APPEND added ${import})
  endif()
endforeach()
set(dropped)
foreach(import IN LISTS expected)
  if(NOT import IN_LIST found)
    list(APPEND dropped ${import})
  endif()
endforeach()
if(added OR dropped)
  message(FATAL_ERROR "${PROGRAM}: imports not on the list: ${added}\n"
                      "on the list but no longer imported: ${dropped}")
endif()
list(LENGTH found count)
message(STATUS "imports: ${count} functions, as listed")
