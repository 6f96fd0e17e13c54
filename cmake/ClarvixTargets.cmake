# Helpers that turn a source folder into a target, so adding a file needs no
# build edit. A folder without sources yields an interface target, so that
# dependants can link it before it is filled.

# clarvix_folder_library(<target> <folder> [LIBS <libs...>])
function(clarvix_folder_library target folder)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  set(dir "${PROJECT_SOURCE_DIR}/src/${folder}")
  file(GLOB sources CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h" "${dir}/*.qrc")
  list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
  set(has_cpp FALSE)
  foreach(s IN LISTS sources)
    if(s MATCHES "\\.cpp$")
      set(has_cpp TRUE)
    endif()
  endforeach()
  if(has_cpp)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${target} PUBLIC ${ARG_LIBS})
    target_compile_definitions(${target} PUBLIC
      CLARVIX_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
      CLARVIX_VERSION_MINOR=${PROJECT_VERSION_MINOR}
      CLARVIX_VERSION_PATCH=${PROJECT_VERSION_PATCH}
      CLARVIX_VERSION_TWEAK=${PROJECT_VERSION_TWEAK})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${target} INTERFACE ${ARG_LIBS})
  endif()
endfunction()

# clarvix_folder_tests(<folder> [LIBS <libs...>])
# tests/<folder>/*.cpp form one GoogleTest executable test_<folder>; each file
# in tests/<folder>/ui/ is a Qt Test executable of its own.
function(clarvix_folder_tests folder)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  string(REPLACE "/" "_" name "${folder}")
  set(dir "${PROJECT_SOURCE_DIR}/tests/${folder}")
  file(GLOB gtest_sources CONFIGURE_DEPENDS "${dir}/*.cpp" "${dir}/*.h")
  if(gtest_sources)
    add_executable(test_${name} ${gtest_sources})
    target_link_libraries(test_${name} PRIVATE ${ARG_LIBS} clarvix_test_support
                          clarvix_gtest_main GTest::gtest GTest::gmock)
    gtest_discover_tests(test_${name}
      DISCOVERY_MODE PRE_TEST
      WORKING_DIRECTORY "${CLARVIX_BIN_DIR}"
      PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endif()
  file(GLOB qtest_sources CONFIGURE_DEPENDS "${dir}/ui/*.cpp")
  foreach(src IN LISTS qtest_sources)
    get_filename_component(stem "${src}" NAME_WE)
    set(exe test_${name}_ui_${stem})
    add_executable(${exe} "${src}")
    target_link_libraries(${exe} PRIVATE ${ARG_LIBS} clarvix_test_support Qt6::Test Qt6::Widgets)
    add_test(NAME ${exe} COMMAND ${exe} WORKING_DIRECTORY "${CLARVIX_BIN_DIR}")
    set_tests_properties(${exe} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  endforeach()
endfunction()
