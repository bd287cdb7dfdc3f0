# Checks Glossery.dll's tables: exactly the four exports at ordinals 1 to 4 under their plain
# names, and nothing imported but UxTheme's six functions and the kernel.
#   cmake -DOBJDUMP=... -DDLL=... -P CheckGlossery.cmake
cmake_minimum_required(VERSION 3.25)

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/PeTables.cmake)
pe_dump(${OBJDUMP} ${DLL} "" dump)
pe_exports("${dump}" exports)
if(NOT exports STREQUAL "1:CanUseTheme;2:DrawTheme;3:InitInterface;4:SetTheme")
    message(FATAL_ERROR "exports: ${exports}")
endif()

pe_imported_libraries("${dump}" dlls)
string(TOLOWER "${dlls}" dlls)
string(REGEX MATCH "DLL Name: UxTheme.dll\n[^\n]*\n((\t[^\n]+\n)*)" _ "${dump}")
string(REGEX MATCHALL "[A-Za-z]+\n" functions "${CMAKE_MATCH_1}")
string(REPLACE "\n" "" functions "${functions}")
set(six CloseThemeData DrawThemeBackground DrawThemeEdge IsAppThemed OpenThemeData SetWindowTheme)
if(NOT dlls STREQUAL "kernel32.dll;uxtheme.dll" OR NOT functions STREQUAL "${six}")
    message(FATAL_ERROR "imports: ${dlls}; from UxTheme: ${functions}")
endif()
