# Shared build rules of the three trees (win64, win32, host).

set(VORLAN_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "Debian's googletest sources")
option(VORLAN_SANITIZE "Build with address and undefined-behaviour sanitizers (host tree)" OFF)

if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(VORLAN_RUN_TESTS ON)     # under Wine
  set(VORLAN_WINE ON)
elseif(WIN32)
  set(VORLAN_RUN_TESTS OFF)    # i686: these machines cannot execute 32-bit code
  set(VORLAN_WINE OFF)
else()
  set(VORLAN_RUN_TESTS ON)
  set(VORLAN_WINE OFF)
endif()

set(VORLAN_STATE_DIR "${CMAKE_BINARY_DIR}/state" CACHE INTERNAL "")

if(VORLAN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      "${CMAKE_SOURCE_DIR}/scripts/wine-run;${CMAKE_BINARY_DIR}/wineprefix" CACHE INTERNAL "")
endif()

macro(vorlan_add_googletest)
  if(VORLAN_RUN_TESTS)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${VORLAN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  endif()
endmacro()

macro(vorlan_own_code_flags)
  add_compile_options(-Wall -Wextra -Werror)
  if(WIN32)
    # Wine cannot start programs whose C++ runtime is a separate DLL (they exit silently).
    add_link_options(-static -static-libgcc -static-libstdc++)
    add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
  elseif(VORLAN_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
endmacro()

# vorlan_copy_beside(<program> <targets...>)
# The targets' files (libraries the program links or loads by name) copied beside the program
# after each build, where Wine and the program find them, as installed.
function(vorlan_copy_beside program)
  set(files)
  foreach(target ${ARGN})
    list(APPEND files $<TARGET_FILE:${target}>)
  endforeach()
  add_custom_command(TARGET ${program} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${files} $<TARGET_FILE_DIR:${program}>)
  add_dependencies(${program} ${ARGN})
endfunction()

# vorlan_test(NAME <name> SOURCES <files...> [LIBS <libs...>] [FIXTURES <fixtures...>]
#             [TIMEOUT <s>] [ARGS <args...>] [BESIDE <targets...>] [DESKTOP])
# One test program, run as one ctest test (each program runs all its GoogleTest cases;
# under Wine one start per program is much cheaper than one per case). BESIDE copies the
# targets' files beside it (vorlan_copy_beside). DESKTOP runs it on a Wine virtual desktop of
# its own (needs the display fixture; windows behave as on Windows).
function(vorlan_test)
  cmake_parse_arguments(T "DESKTOP" "NAME;TIMEOUT" "SOURCES;LIBS;FIXTURES;ARGS;BESIDE" ${ARGN})
  if(NOT VORLAN_RUN_TESTS)
    return()
  endif()
  set(exe test_${T_NAME})
  string(REPLACE "." "_" exe "${exe}")
  add_executable(${exe} ${T_SOURCES})
  target_link_libraries(${exe} PRIVATE ${T_LIBS} GTest::gmock GTest::gtest_main)
  target_include_directories(${exe} PRIVATE ${CMAKE_SOURCE_DIR})
  if(T_BESIDE)
    vorlan_copy_beside(${exe} ${T_BESIDE})
  endif()
  set(fixtures ${T_FIXTURES})
  if(T_DESKTOP AND VORLAN_WINE)
    string(REPLACE "." "-" desktop "${T_NAME}")
    add_test(NAME ${T_NAME} COMMAND vorlan_desktop_run ${desktop} $<TARGET_FILE:${exe}> ${T_ARGS})
    list(APPEND fixtures display)
  else()
    add_test(NAME ${T_NAME} COMMAND ${exe} ${T_ARGS})
  endif()
  if(VORLAN_WINE)
    list(APPEND fixtures wine)
  endif()
  if(fixtures)
    set_tests_properties(${T_NAME} PROPERTIES FIXTURES_REQUIRED "${fixtures}")
  endif()
  if(NOT VORLAN_WINE AND "dbserver" IN_LIST fixtures)
    # Host tests find the fixture's port (and database) there; under Wine, wine-run
    # exports the port as VORLAN_DBSERVER_PORT.
    set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT "VORLAN_STATE_DIR=${VORLAN_STATE_DIR}")
  endif()
  if(T_TIMEOUT)
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  endif()
endfunction()

# Fixtures shared by every test folder. Each writes what it started under VORLAN_STATE_DIR,
# where scripts/wine-run picks it up (DISPLAY, dbserver port).
function(vorlan_add_fixtures)
  if(VORLAN_WINE)
    # The prefix and one Wine session for the whole run (scripts/wine-run --start-session):
    # what Wine keeps running must not be started by a test, whose output it would hold.
    add_test(NAME fixture.wine.prefix
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run ${CMAKE_BINARY_DIR}/wineprefix --start-session
                     $<TARGET_FILE:vorlan_wine_keeper>)
    add_test(NAME fixture.wine.stop
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/wine-run ${CMAKE_BINARY_DIR}/wineprefix --stop-session)
    set_tests_properties(fixture.wine.prefix PROPERTIES FIXTURES_SETUP wine FIXTURES_REQUIRED display TIMEOUT 180)
    set_tests_properties(fixture.wine.stop PROPERTIES FIXTURES_CLEANUP wine FIXTURES_REQUIRED display TIMEOUT 90)
    add_test(NAME fixture.display.start COMMAND ${CMAKE_SOURCE_DIR}/scripts/xvfb-ctl start ${VORLAN_STATE_DIR})
    add_test(NAME fixture.display.stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/xvfb-ctl stop ${VORLAN_STATE_DIR})
    set_tests_properties(fixture.display.start PROPERTIES FIXTURES_SETUP display TIMEOUT 30)
    set_tests_properties(fixture.display.stop PROPERTIES FIXTURES_CLEANUP display TIMEOUT 30)
    # A private CUPS scheduler whose queue VORLAN-DRUCKER prints to a file (scripts/cups-ctl).
    # Tests that print also take the resource lock "printer": Wine keeps the queues it finds in
    # the shared prefix's registry.
    add_test(NAME fixture.cups.start COMMAND ${CMAKE_SOURCE_DIR}/scripts/cups-ctl start ${VORLAN_STATE_DIR})
    add_test(NAME fixture.cups.stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/cups-ctl stop ${VORLAN_STATE_DIR})
    set_tests_properties(fixture.cups.start PROPERTIES FIXTURES_SETUP cups TIMEOUT 60)
    set_tests_properties(fixture.cups.stop PROPERTIES FIXTURES_CLEANUP cups TIMEOUT 30)
    # The demo's SQLite data source VORLANDEMO in STATE_DIR/odbc, which wine-run names in ODBCINI.
    add_test(NAME fixture.odbc
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/make-odbc-source ${VORLAN_STATE_DIR}/odbc)
    set_tests_properties(fixture.odbc PROPERTIES FIXTURES_SETUP odbc TIMEOUT 60)
  endif()
  # dbserver with a scratch database (STATE_DIR/dbserver-db) on a free port
  # (STATE_DIR/dbserver.port): the host tree serves its own build, win64 the host tree's.
  if(NOT WIN32)
    set(dbserver_exe $<TARGET_FILE:dbserver>)
  elseif(VORLAN_WINE)
    set(dbserver_exe ${VORLAN_HOST_TREE}/dbserver/dbserver)
  endif()
  if(DEFINED dbserver_exe)
    add_test(NAME fixture.dbserver.start
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/dbserver-ctl start ${VORLAN_STATE_DIR} ${dbserver_exe})
    add_test(NAME fixture.dbserver.stop COMMAND ${CMAKE_SOURCE_DIR}/scripts/dbserver-ctl stop ${VORLAN_STATE_DIR})
    set_tests_properties(fixture.dbserver.start PROPERTIES FIXTURES_SETUP dbserver TIMEOUT 90)
    set_tests_properties(fixture.dbserver.stop PROPERTIES FIXTURES_CLEANUP dbserver TIMEOUT 30)
  endif()
endfunction()
