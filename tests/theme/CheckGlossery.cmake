# Checks Glossery.dll's tables: exactly the four exports at ordinals 1 to 4 under their plain
# names, and nothing imported but UxTheme's six functions and the kernel.
#   cmake -DOBJDUMP=... -DDLL=... -P CheckGlossery.cmake
cmake_minimum_required(VERSION 3.25)

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objdump failed on ${DLL}")
endif()

string(REGEX MATCH "Ordinal Base[^\n]*\n" base "${dump}")
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(\t[^\n]+\n)*" exports "${dump}")
string(REGEX REPLACE "[ \t]+" " " exports "${base}${exports}")
set(expected "Ordinal Base 1\n[Ordinal/Name Pointer] Table\n [ 0] CanUseTheme\n [ 1] DrawTheme\n")
string(APPEND expected " [ 2] InitInterface\n [ 3] SetTheme\n")
if(NOT exports STREQUAL expected)
    message(FATAL_ERROR "exports:\n${exports}expected:\n${expected}")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${dump}")
string(TOLOWER "${dlls}" dlls)
string(REGEX MATCH "DLL Name: UxTheme.dll\n[^\n]*\n((\t[^\n]+\n)*)" _ "${dump}")
string(REGEX MATCHALL "[A-Za-z]+\n" functions "${CMAKE_MATCH_1}")
string(REPLACE "\n" "" functions "${functions}")
set(six CloseThemeData DrawThemeBackground DrawThemeEdge IsAppThemed OpenThemeData SetWindowTheme)
if(NOT dlls STREQUAL "dll name: kernel32.dll;dll name: uxtheme.dll" OR NOT functions STREQUAL "${six}")
    message(FATAL_ERROR "imports: ${dlls}; from UxTheme: ${functions}")
endif()
