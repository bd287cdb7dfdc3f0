# The CT-API terminal readers against the terminal double, through the demo screen KRT.
if(NOT (WIN32 AND VORLAN_RUN_TESTS))
  return()
endif()

# One double under every library name a reader kind loads, and once without CT_close; each
# loads as a terminal of its own, as the makers' libraries do.
add_library(ctapi_double_core OBJECT CtApiDouble.cpp TestCards.cpp)
target_include_directories(ctapi_double_core PRIVATE ${CMAKE_SOURCE_DIR})
set(VORLAN_CTAPI_DOUBLES "")
foreach(name ct_api_usb CTORG32 ctcym ctpcsc32kv CTPCSC31 ct_api_noclose)
  add_library(CtApi_${name} SHARED $<TARGET_OBJECTS:ctapi_double_core>)
  if(NOT name STREQUAL "ct_api_noclose")
    target_sources(CtApi_${name} PRIVATE CtApiClose.cpp)
    target_include_directories(CtApi_${name} PRIVATE ${CMAKE_SOURCE_DIR})
  endif()
  set_target_properties(CtApi_${name} PROPERTIES PREFIX "" OUTPUT_NAME ${name})
  target_link_libraries(CtApi_${name} PRIVATE vorlan_zlib)
  list(APPEND VORLAN_CTAPI_DOUBLES CtApi_${name})
endforeach()

vorlan_test(NAME cards.terminals
    SOURCES CardTerminalsTest.cpp TestCards.cpp ${CMAKE_SOURCE_DIR}/app/ClientLibraryTransport.cpp
    LIBS vorlan_frame vorlan_harness KVXAPI32 vorlan_zlib
    BESIDE KVXAPI32 VORLAND zlibwapi ${VORLAN_CTAPI_DOUBLES}
    FIXTURES dbserver
    DESKTOP
    TIMEOUT 600)
# C:\TEMP's eGK files are the machine's: no other test reads cards meanwhile.
set_tests_properties(cards.terminals PROPERTIES RESOURCE_LOCK "demo-database;card-documents")
