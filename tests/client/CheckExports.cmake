# Checks the export table of KVXAPI32.dll: every name at its ordinal, nothing else, and each
# upper-case alias the same entry point as its lower-case function. Also checks, when given,
# that a program linked against the import library imports the decorated names.
#   cmake -DOBJDUMP=... -DDLL=... -DARCH=i686|x86_64 [-DPROBE=program.exe] -P CheckExports.cmake

# Function names with their argument bytes, in the order of the upper-case aliases.
set(functions
    do:20 do2:20 error:4 gdb_clear:4 gdb_extract:20 gdb_initialize:8 gdb_insert:16 global_data:16
    global_get:20 global_kill:12 global_lock:20 global_order:24 global_query:16 global_set:16
    global_set_null:12 global_unlock:16 initialize:0 keepalive:4 local_get:16 local_kill:8
    local_set:12 login:28 login2:32 login3:40 logout:4 options:8 partsize:8 rundown:0 sdb_clear:4
    sdb_count:8 sdb_extract:12 sdb_initialize:8 sdb_insert:12 sdb_insert_null:8 timeout:8
    version:4 xecute:16 xecute2:16)
set(streamed PTDO2BLOCK PTDO2ENDARRAY PTDO2FIELD PTDO2FIELDDATA PTDO2FIELDLENGTH PTDO2FINISH
    PTDO2SEND PTDO2SEND2 PTDO2START PTDO2START2)

include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/PeTables.cmake)
pe_dump(${OBJDUMP} ${DLL} KVXAPI32.dll dump)

# Ordinal -> entry point, and name -> ordinal.
string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\] [0-9a-f]+ Export RVA" addresses "${dump}")
foreach(a IN LISTS addresses)
    string(REGEX MATCH "\\[ *([0-9]+)\\] ([0-9a-f]+)" _ "${a}")
    set(rva_${CMAKE_MATCH_1} ${CMAKE_MATCH_2})
endforeach()
pe_exports("${dump}" actual)
foreach(n IN LISTS actual)
    string(REPLACE ":" ";" parts "${n}")
    list(GET parts 0 ordinal)
    list(GET parts 1 name)
    set(ordinal_of_${name} ${ordinal})
endforeach()

# What the table must hold.
set(expected "")
set(ordinal 0)
foreach(f IN LISTS functions)
    string(REPLACE ":" ";" parts "${f}")
    list(GET parts 0 name)
    string(TOUPPER "kvx_${name}" alias)
    math(EXPR ordinal "${ordinal} + 1")
    list(APPEND expected "${ordinal}:${alias}")
endforeach()
foreach(s IN LISTS streamed)
    math(EXPR ordinal "${ordinal} + 1")
    list(APPEND expected "${ordinal}:${s}")
endforeach()
set(lower "")
foreach(f IN LISTS functions)
    string(REPLACE ":" ";" parts "${f}")
    list(GET parts 0 name)
    list(GET parts 1 bytes)
    if(ARCH STREQUAL "i686")
        list(APPEND lower "_kvx_${name}@${bytes}")
    else()
        list(APPEND lower "kvx_${name}")
    endif()
endforeach()
list(SORT lower)  # byte order: "_kvx_do2@20" before "_kvx_do@20"
foreach(l IN LISTS lower)
    math(EXPR ordinal "${ordinal} + 1")
    list(APPEND expected "${ordinal}:${l}")
endforeach()

if(NOT actual STREQUAL expected)
    foreach(e IN LISTS expected)
        if(NOT e IN_LIST actual)
            message(SEND_ERROR "missing export ${e}")
        endif()
    endforeach()
    foreach(a IN LISTS actual)
        if(NOT a IN_LIST expected)
            message(SEND_ERROR "unexpected export ${a}")
        endif()
    endforeach()
    message(FATAL_ERROR "export table differs")
endif()

foreach(f IN LISTS functions)
    string(REPLACE ":" ";" parts "${f}")
    list(GET parts 0 name)
    list(GET parts 1 bytes)
    string(TOUPPER "kvx_${name}" alias)
    if(ARCH STREQUAL "i686")
        set(plain "_kvx_${name}@${bytes}")
    else()
        set(plain "kvx_${name}")
    endif()
    if(NOT rva_${ordinal_of_${alias}} STREQUAL rva_${ordinal_of_${plain}})
        message(FATAL_ERROR "${alias} and ${plain} are different entry points")
    endif()
endforeach()

if(PROBE)
    execute_process(COMMAND ${OBJDUMP} -p ${PROBE} OUTPUT_VARIABLE probe_dump)
    foreach(imported _kvx_initialize@0 _kvx_login@28 _kvx_timeout@8 _kvx_partsize@8 _kvx_xecute@16
                     _kvx_logout@4 _kvx_rundown@0 PTDO2FINISH)
        if(NOT probe_dump MATCHES "[0-9]+  ${imported}\n")
            message(FATAL_ERROR "a caller linked with the import library does not import ${imported}")
        endif()
    endforeach()
endif()
list(LENGTH actual count)
message(STATUS "${count} exports checked")
