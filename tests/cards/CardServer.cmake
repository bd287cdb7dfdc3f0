# The card server double and the reading dialog's tests over it.
if(WIN32 AND VORLAN_RUN_TESTS)
  # Named like the library it stands for, and kept in this folder: tests and the demo copy it
  # into program folders of their own, never into the build's bin folder.
  add_library(scard32_double SHARED Scard32Double.cpp)
  set_target_properties(scard32_double PROPERTIES PREFIX "" OUTPUT_NAME SCARD32 SUFFIX ".DLL")
  target_include_directories(scard32_double PRIVATE ${CMAKE_SOURCE_DIR})

  vorlan_test(NAME cards.readcard
      SOURCES ReadCardTest.cpp
      LIBS vorlan_cards vorlan_harness
      BESIDE scard32_double VORLAND
      DESKTOP
      TIMEOUT 300)

  # Kinds 0 and 1 through the demo screen KRT. The picture of the reading dialog
  # (readcard.bmp) reads the screen: no other desktop may cover it.
  vorlan_test(NAME cards.readcard.server
      SOURCES ReadCardServerTest.cpp ${CMAKE_SOURCE_DIR}/app/ClientLibraryTransport.cpp
      LIBS vorlan_frame vorlan_harness KVXAPI32
      BESIDE KVXAPI32 VORLAND scard32_double
      FIXTURES dbserver
      DESKTOP
      TIMEOUT 300)
  string(REPLACE "/" "\\\\" artifacts "Z:${CMAKE_BINARY_DIR}/artifacts")
  set_tests_properties(cards.readcard.server PROPERTIES
      RESOURCE_LOCK demo-database RUN_SERIAL TRUE ENVIRONMENT "VORLAN_ARTIFACTS=${artifacts}")
endif()
