# Links only those of the given targets that exist (a subsystem whose folder is still
# empty has no library yet); anything that is not a target name is passed through.
function(veq_link_existing target)
  foreach(dep IN LISTS ARGN)
    if(dep MATCHES "::")
      target_link_libraries(${target} PUBLIC ${dep})
    elseif(TARGET ${dep})
      target_link_libraries(${target} PUBLIC ${dep})
    endif()
  endforeach()
endfunction()

function(veq_library name dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  file(GLOB hdrs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.h)
  file(GLOB qrcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.qrc)
  if(NOT srcs)
    return()
  endif()
  add_library(${name} STATIC ${srcs} ${hdrs} ${qrcs})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  veq_link_existing(${name} ${ARGN})
endfunction()

# One test program per folder of tests/, linked with its subsystem, the shared test
# support code and GoogleTest; every test is discovered by CTest. VEQ_SOURCE_DIR names the
# source folder, for tests that read files of the source tree wherever the build folder is.
function(veq_test_program dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.h)
  if(NOT srcs)
    return()
  endif()
  set(exe test_${dir})
  add_executable(${exe} ${srcs} ${CMAKE_CURRENT_SOURCE_DIR}/support/test_main.cpp)
  target_include_directories(${exe} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/src)
  target_compile_definitions(${exe} PRIVATE VEQ_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  veq_link_existing(${exe} testsupport ${dir} ${ARGN})
  target_link_libraries(${exe} PUBLIC GTest::gtest GTest::gmock Qt6::Widgets Qt6::Test)
  gtest_discover_tests(${exe}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60)
endfunction()

# The program finds the simulated hidapi library (tests/support/hidapi) before the system
# one: its run path names the library's folder.
function(veq_use_sim_hidapi target)
  if(TARGET simhidapi)
    add_dependencies(${target} simhidapi)
    set_property(TARGET ${target} APPEND PROPERTY BUILD_RPATH ${VEQ_SIM_HIDAPI_DIR})
    target_link_options(${target} PRIVATE -Wl,--enable-new-dtags)
  endif()
endfunction()
