# Checks what a Windows DLL exports and imports, from its PE headers:
#
#   cmake -DOBJDUMP=<objdump> -DMODULE=<file.dll> -P check_module.cmake
#
# An in-process server exports exactly the four entry points COM looks up
# by name, undecorated; and it imports only from Windows' own DLLs, so that
# it runs on a machine without mingw-w64's runtime DLLs.
cmake_minimum_required(VERSION 3.25)

set(_exports DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer)
set(_windows_dlls ADVAPI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL OLEAUT32.DLL USER32.DLL)

execute_process(COMMAND ${OBJDUMP} -p ${MODULE} OUTPUT_VARIABLE _headers RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} cannot read ${MODULE}")
endif()

# "[Ordinal/Name Pointer] Table" lists the exported names, one "[ n] name" a
# line; the brackets go before the lines become a list.
set(_title "[Ordinal/Name Pointer] Table\n")
string(FIND "${_headers}" "${_title}" _start)
set(_table "")
if(_start GREATER_EQUAL 0)
  string(LENGTH "${_title}" _length)
  math(EXPR _start "${_start} + ${_length}")
  string(SUBSTRING "${_headers}" ${_start} -1 _rest)
  string(REGEX MATCH "^(\t[^\n]+\n)*" _table "${_rest}")
endif()
string(REGEX REPLACE "\t\\[ *[0-9]+\\] ([^\n]+)\n" "\\1;" _found "${_table}")
list(REMOVE_ITEM _found "")
if(NOT _found STREQUAL _exports)
  message(FATAL_ERROR "${MODULE} exports [${_found}], not [${_exports}]")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" _imports "${_headers}")
list(TRANSFORM _imports REPLACE "^DLL Name: " "")
foreach(_dll IN LISTS _imports)
  string(TOUPPER ${_dll} _upper)
  if(NOT _upper IN_LIST _windows_dlls)
    message(FATAL_ERROR "${MODULE} imports ${_dll}, which is not a DLL of Windows")
  endif()
endforeach()
message(STATUS "${MODULE}: exports [${_found}], imports [${_imports}]")
