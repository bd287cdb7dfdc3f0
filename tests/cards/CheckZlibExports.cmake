# Checks zlibwapi.dll: it names itself so, exports exactly gzopen, gzread and gzclose without
# decoration (the i686 entries are stdcall underneath), and needs no library of the
# compiler's beside it.
#   cmake -DOBJDUMP=... -DDLL=... -DARCH=i686|x86_64 -P CheckZlibExports.cmake

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/PeTables.cmake)
pe_dump(${OBJDUMP} ${DLL} zlibwapi.dll dump)
pe_exports("${dump}" exports)
list(TRANSFORM exports REPLACE "^[0-9]+:" "" OUTPUT_VARIABLE names)
list(SORT names)
if(NOT names STREQUAL "gzclose;gzopen;gzread")
    message(FATAL_ERROR "exports are '${names}', not gzclose;gzopen;gzread")
endif()
pe_imported_libraries("${dump}" imports)
foreach(i IN LISTS imports)
    if(i MATCHES "libgcc|libstdc|libwinpthread|zlib1")
        message(FATAL_ERROR "${DLL} needs a library that is not shipped: ${i}")
    endif()
endforeach()
message(STATUS "${ARCH} zlibwapi.dll exports ${names}")
