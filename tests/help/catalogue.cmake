# The catalogue's message rules and the stand-in runtime's settings are
# Windows-free and run in both builds; the catalogue itself runs under Wine
# against hxstandin.dll, which it loads from beside the test program.
qn3_add_gtest(NAME catalogue_rules_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_messages_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/catalogue_standin_config_test.cpp
    ${CMAKE_SOURCE_DIR}/standin/hxstandin/StandinConfig.cpp
  LIBS qn3_help_olemessages qn3_base)

if(WIN32)
  qn3_add_gtest(NAME catalogue_test
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/catalogue_enum_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/catalogue_standin_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/catalogue_standin.cpp
    LIBS qn3_help_catalogue qn3_base ole32 oleaut32 uuid
    DEPENDS_ON hxstandin)
endif()
