# The Help 2 namespace catalogue. Its message rules build everywhere, so
# the host build can test them; the COM part is Windows-only.
add_library(qn3_help_olemessages STATIC ${CMAKE_CURRENT_LIST_DIR}/uOleMessages.cpp)
target_link_libraries(qn3_help_olemessages PUBLIC qn3_base)

if(WIN32)
  add_library(qn3_help_catalogue STATIC
    ${CMAKE_CURRENT_LIST_DIR}/uOleMessages_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MSHelpServices_TLB.cpp
    ${CMAKE_CURRENT_LIST_DIR}/uHelpCatalogue.cpp)
  target_link_libraries(qn3_help_catalogue PUBLIC qn3_help_olemessages qn3_base ole32 oleaut32 uuid)
endif()
