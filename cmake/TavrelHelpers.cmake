# Sources of a target are the .cpp/.h files found below the given folders, so that adding a class
# means adding its two files and nothing else.
function(tavrel_collect_sources out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
      ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h)
    list(APPEND files ${found})
  endforeach()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# Moc runs again when a target's list of sources changes: with Ninja, a header added by a pull is
# otherwise missed until a clean build. Removing the autogen stamp makes the next build rescan.
function(tavrel_autogen_on_source_list target)
  get_target_property(srcs ${target} SOURCES)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${target}_sources.txt)
  string(REPLACE ";" "\n" lines "${srcs}")
  set(old "")
  if(EXISTS ${list_file})
    file(READ ${list_file} old)
  endif()
  if(NOT old STREQUAL "${lines}\n")
    file(WRITE ${list_file} "${lines}\n")
    file(REMOVE ${CMAKE_CURRENT_BINARY_DIR}/${target}_autogen/timestamp)
  endif()
endfunction()

# Classes found by name register themselves with TAVREL_REGISTER_CLASS; the generated function
# registerCoreClasses() names every one among the sources, so a static library links them all in.
# Sets <out> to the generated .cpp, to be added to the library's sources.
function(tavrel_class_registrations out name)
  set(list_file ${CMAKE_CURRENT_BINARY_DIR}/${name}ClassSources.txt)
  string(REPLACE ";" "\n" lines "${ARGN}")
  file(CONFIGURE OUTPUT ${list_file} CONTENT "${lines}\n")
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/${name}ClassRegistrations.cpp)
  add_custom_command(OUTPUT ${generated}
    COMMAND ${CMAKE_COMMAND} -DSOURCES_LIST=${list_file} -DOUTPUT=${generated}
            -P ${PROJECT_SOURCE_DIR}/cmake/GenerateClassRegistry.cmake
    DEPENDS ${ARGN} ${list_file} ${PROJECT_SOURCE_DIR}/cmake/GenerateClassRegistry.cmake
    COMMENT "Collecting registered classes of ${name}")
  set(${out} ${generated} PARENT_SCOPE)
endfunction()

# The interface library's resource file, listing every file of resources/images and resources/strings
# (aliased by their path below resources/, so ":/images/close_regular.svg"). Rewritten only when the
# list changes.
function(tavrel_ui_resources out)
  file(GLOB files CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/resources/images/*.svg
    ${CMAKE_SOURCE_DIR}/resources/strings/*.json)
  set(content "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n")
  foreach(f IN LISTS files)
    file(RELATIVE_PATH alias ${CMAKE_SOURCE_DIR}/resources ${f})
    string(APPEND content "  <file alias=\"${alias}\">${f}</file>\n")
  endforeach()
  string(APPEND content "</qresource>\n</RCC>\n")
  set(qrc ${CMAKE_CURRENT_BINARY_DIR}/tavrel_ui_resources.qrc)
  file(CONFIGURE OUTPUT ${qrc} CONTENT "${content}" @ONLY)
  set(${out} ${qrc} PARENT_SCOPE)
endfunction()
