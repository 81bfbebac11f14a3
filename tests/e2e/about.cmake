# The About box against the real program, with a logging stand-in for the
# system's handler of web addresses.
add_executable(about-url-log about_url_log.cpp)
target_link_options(about-url-log PRIVATE -mconsole)

if(TARGET qn3)
  qn3_add_e2e_test(NAME e2e_about_test SOURCES about_box_test.cpp about_handler.cpp LIBS advapi32)
  add_dependencies(e2e_about_test about-url-log)
endif()
