# The files the program looks for beside its own file: its help file (the program's name with
# ".chm", compiled from res/help with Free Pascal's chmcmd) and the web shortcuts of res/shortcuts.
find_program(KV_CHMCMD NAMES chmcmd chmcmd-3.2.2)
set(KV_HELP_SOURCE_DIR ${CMAKE_SOURCE_DIR}/res/help)
set(KV_HELP_BUILD_DIR ${CMAKE_BINARY_DIR}/help)
file(GLOB KV_HELP_SOURCES CONFIGURE_DEPENDS ${KV_HELP_SOURCE_DIR}/*)
if(KV_CHMCMD)
  # chmcmd writes next to its project: it runs on the build's copy of the sources.
  add_custom_command(OUTPUT ${KV_HELP_BUILD_DIR}/Korvanelle.chm
                     COMMAND ${CMAKE_COMMAND} -E rm -rf ${KV_HELP_BUILD_DIR}
                     COMMAND ${CMAKE_COMMAND} -E copy_directory ${KV_HELP_SOURCE_DIR} ${KV_HELP_BUILD_DIR}
                     COMMAND ${CMAKE_COMMAND} -E chdir ${KV_HELP_BUILD_DIR} ${KV_CHMCMD} Korvanelle.hhp
                     DEPENDS ${KV_HELP_SOURCES}
                     COMMENT "Compiling the help file"
                     VERBATIM)
  add_custom_target(kv_help_file ALL DEPENDS ${KV_HELP_BUILD_DIR}/Korvanelle.chm)
else()
  message(WARNING "chmcmd (Debian package fp-utils) was not found: the program is built without its "
                  "help file, and Help shows that the help file is missing")
endif()

set(KV_SHORTCUTS ${CMAKE_SOURCE_DIR}/res/shortcuts/website.url ${CMAKE_SOURCE_DIR}/res/shortcuts/lightscribe.url
    ${CMAKE_SOURCE_DIR}/res/shortcuts/lightscribeinfo.url)

# Lays the help file and the shortcuts next to a program of the build (the application, or a test
# that runs the application's shell).
function(kv_lay_program_files target)
  add_custom_command(TARGET ${target} POST_BUILD
                     COMMAND ${CMAKE_COMMAND} -E copy_if_different ${KV_SHORTCUTS} $<TARGET_FILE_DIR:${target}>)
  if(TARGET kv_help_file)
    add_dependencies(${target} kv_help_file)
    add_custom_command(TARGET ${target} POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E copy_if_different ${KV_HELP_BUILD_DIR}/Korvanelle.chm
                               $<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.chm)
  endif()
endfunction()
