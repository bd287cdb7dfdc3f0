# Reads a PE file's tables through objdump, for the scripts that check what a library exports
# and imports.

# Runs objdump -p on FILE and checks that its export directory names itself NAME.
function(pe_dump objdump file name out)
    execute_process(COMMAND ${objdump} -p ${file} OUTPUT_VARIABLE dump RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "objdump failed on ${file}")
    endif()
    if(name AND NOT dump MATCHES "\nName[ \t]+[0-9a-f]+ ${name}\n")
        message(FATAL_ERROR "export directory does not name ${name}")
    endif()
    set(${out} "${dump}" PARENT_SCOPE)
endfunction()

# The export names as "ordinal:name", ordinals counted from the table's base.
function(pe_exports dump out)
    string(REGEX MATCH "Ordinal Base[ \t]+([0-9]+)" _ "${dump}")
    set(base ${CMAKE_MATCH_1})
    string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(.*)" _ "${dump}")
    string(REGEX MATCHALL "\t\\[ *[0-9]+\\] [^\n]+" entries "${CMAKE_MATCH_1}")
    set(names "")
    foreach(e IN LISTS entries)
        string(REGEX MATCH "\\[ *([0-9]+)\\] (.+)" _ "${e}")
        math(EXPR ordinal "${CMAKE_MATCH_1} + ${base}")
        list(APPEND names "${ordinal}:${CMAKE_MATCH_2}")
    endforeach()
    set(${out} "${names}" PARENT_SCOPE)
endfunction()

# The names of the libraries the file imports, as objdump prints them.
function(pe_imported_libraries dump out)
    string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
    list(TRANSFORM lines REPLACE "DLL Name: " "")
    set(${out} "${lines}" PARENT_SCOPE)
endfunction()
