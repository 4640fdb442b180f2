# The Windows build: cross-compiled with MinGW-w64 (toolchain file
# cmake/mingw-w64-x86_64.cmake), its tests run under Wine. Included by the
# top CMakeLists.txt before any target; scenario_add_windows_tests() is called
# by tests/CMakeLists.txt.

if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  # Wine with a prefix of this build's own, behind a one-word command that
  # CTest, the Makefile and scripts call alike (build-windows/wine-run).
  set(SCENARIO_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine)
  set(SCENARIO_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
  file(CONFIGURE OUTPUT ${SCENARIO_WINE_RUN} @ONLY CONTENT
    "#!/bin/sh\nexec \"@CMAKE_SOURCE_DIR@/cmake/wine-run.sh\" \"@SCENARIO_WINE_PREFIX@\" \"$@\"\n")
  file(CHMOD ${SCENARIO_WINE_RUN} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SCENARIO_WINE_RUN})
endif()

# GCC 12 warns of a string copy overlapping itself where `"text" + string`
# is inlined (GCC bug 105651), on MinGW only; the code is sound.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  add_compile_options(-Wno-restrict)
endif()

set(SCENARIO_LINUX_EXE "" CACHE FILEPATH
  "The Linux build's scenario program; its output is the reference for the Windows program's")

# GoogleTest for Windows, built from the sources Debian ships with libgtest-dev.
if(SCENARIO_TESTS AND CMAKE_CROSSCOMPILING AND NOT TARGET GTest::gtest)
  set(SCENARIO_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${SCENARIO_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
endif()

# The author's tool uses header-only libraries installed for the host. They
# reach the cross build through a folder that links their own folders only:
# the rest of /usr/include is glibc's and would break a Windows build. A
# find_package() of either library finds a package file made here.
if(CMAKE_CROSSCOMPILING)
  set(_host_headers ${CMAKE_BINARY_DIR}/host-headers)
  set(_host_packages ${CMAKE_BINARY_DIR}/host-packages)
  foreach(_library IN ITEMS "CLI11;CLI;CLI11::CLI11" "nlohmann_json;nlohmann;nlohmann_json::nlohmann_json")
    list(GET _library 0 _package)
    list(GET _library 1 _folder)
    list(GET _library 2 _target)
    if(NOT EXISTS /usr/include/${_folder})
      continue()
    endif()
    file(MAKE_DIRECTORY ${_host_headers} ${_host_packages}/${_package})
    file(CREATE_LINK /usr/include/${_folder} ${_host_headers}/${_folder} SYMBOLIC)
    file(WRITE ${_host_packages}/${_package}/${_package}Config.cmake
      "if(NOT TARGET ${_target})\n"
      "  add_library(${_target} INTERFACE IMPORTED)\n"
      "  set_target_properties(${_target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES \"${_host_headers}\")\n"
      "endif()\n")
    file(GLOB _version_files /usr/share/cmake/${_package}/${_package}ConfigVersion.cmake
      /usr/lib/cmake/${_package}/${_package}ConfigVersion.cmake
      /usr/lib/x86_64-linux-gnu/cmake/${_package}/${_package}ConfigVersion.cmake)
    if(_version_files)
      list(GET _version_files 0 _version_file)
      file(WRITE ${_host_packages}/${_package}/${_package}ConfigVersion.cmake "include(\"${_version_file}\")\n")
    endif()
    set(${_package}_DIR ${_host_packages}/${_package} CACHE PATH "" FORCE)
  endforeach()
endif()

# cpp-httplib for `scenario-tool serve`: Debian's libcpp-httplib-dev is the
# library's split build for Linux, of no use here; the cross build takes the
# single header from the library's source package, which the Makefile fetches
# with apt (SCENARIO_HTTPLIB_DIR holds httplib.h). Winsock is ws2_32.
if(CMAKE_CROSSCOMPILING)
  set(SCENARIO_HTTPLIB_DIR ${CMAKE_BINARY_DIR}/cpp-httplib CACHE PATH
    "Folder that holds cpp-httplib's single-header httplib.h")
  if(NOT SCENARIO_HTTPLIB_DIR OR NOT EXISTS ${SCENARIO_HTTPLIB_DIR}/httplib.h)
    message(FATAL_ERROR "The Windows build needs cpp-httplib's single header: set SCENARIO_HTTPLIB_DIR to the "
                        "folder of httplib.h (`make windows` fetches it from Debian's source package cpp-httplib)")
  endif()
  # A folder of its own, so that nothing else beside the header is on the
  # include path.
  file(COPY ${SCENARIO_HTTPLIB_DIR}/httplib.h DESTINATION ${CMAKE_BINARY_DIR}/httplib-header)
  add_library(httplib::httplib INTERFACE IMPORTED)
  set_target_properties(httplib::httplib PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${CMAKE_BINARY_DIR}/httplib-header
    INTERFACE_LINK_LIBRARIES ws2_32)
endif()

# At the end of the configuration, when every program target exists.
function(scenario_windows_programs)
  # Window programs: no console window opens beside them.
  set_target_properties(scenario PROPERTIES WIN32_EXECUTABLE ON)
  # `make windows`: the programs, without the test suite.
  add_custom_target(windows_programs)
  add_dependencies(windows_programs scenario)
  if(TARGET scenario-tool)
    add_dependencies(windows_programs scenario-tool)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL scenario_windows_programs)

# The Windows tests of `target`, run under Wine: the GoogleTest cases, the
# check that the programs need no DLL beyond Windows' own, and the run of the
# Linux program whose files the Windows program must reproduce byte for byte.
function(scenario_add_windows_tests target)
  set(_reference ${CMAKE_BINARY_DIR}/linux-reference)
  target_compile_definitions(${target} PRIVATE SCENARIO_REFERENCE_DIR="${_reference}")
  # No test may wait for a click on a message box: the tests that want a box
  # ask for one.
  set(_properties ENVIRONMENT SCENARIO_HEADLESS=1 TIMEOUT 300)
  if(SCENARIO_LINUX_EXE)
    add_test(NAME linux_reference_run
      COMMAND ${CMAKE_COMMAND} -D EXE=${SCENARIO_LINUX_EXE} -D OUT=${_reference}
              -P ${CMAKE_SOURCE_DIR}/cmake/linux-reference-run.cmake)
    set_tests_properties(linux_reference_run PROPERTIES FIXTURES_SETUP linux_reference)
    set(_reference_properties FIXTURES_REQUIRED linux_reference)
  endif()
  # The list is read from the test program when CTest starts, under Wine.
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    TEST_FILTER "-WindowsProgram*"
    PROPERTIES ${_properties})
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    TEST_FILTER "WindowsProgram*" TEST_LIST ${target}_program_tests
    PROPERTIES ${_properties} ${_reference_properties})

  # Runs that Wine sets up from outside (tests/run/windows_wine_test.sh).
  if(SCENARIO_LINUX_EXE AND SCENARIO_WINE_PREFIX)
    foreach(_case IN ITEMS drive-root no-display)
      add_test(NAME windows_program_${_case}
        COMMAND sh ${CMAKE_SOURCE_DIR}/tests/run/windows_wine_test.sh ${_case} ${SCENARIO_WINE_RUN}
                ${SCENARIO_WINE_PREFIX} $<TARGET_FILE:scenario> ${_reference})
      set_tests_properties(windows_program_${_case} PROPERTIES FIXTURES_REQUIRED linux_reference TIMEOUT 300)
    endforeach()
    # A process without a display makes Wine try a desktop of its own: not
    # while other tests put up windows.
    set_tests_properties(windows_program_no-display PROPERTIES RUN_SERIAL TRUE)
  endif()

  # The archive of `make package`, unpacked and run as a user would.
  if(SCENARIO_WINE_PREFIX)
    add_test(NAME windows_package_build
      COMMAND ${CMAKE_CPACK_COMMAND} -G ZIP --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
              -B ${CMAKE_BINARY_DIR}/package-test)
    set_tests_properties(windows_package_build PROPERTIES FIXTURES_SETUP windows_package TIMEOUT 300)
    add_test(NAME windows_package_run
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/run/windows_package_test.sh ${SCENARIO_WINE_RUN}
              ${CMAKE_BINARY_DIR}/package-test/${SCENARIO_PACKAGE_NAME}.zip ${CMAKE_SOURCE_DIR}/tests/golden)
    set_tests_properties(windows_package_run PROPERTIES FIXTURES_REQUIRED windows_package TIMEOUT 300)
  endif()

  # The tool on accented folder and scenario names, against the Linux tool
  # built beside the Linux program.
  if(SCENARIO_LINUX_EXE AND SCENARIO_WINE_PREFIX)
    get_filename_component(_linux_bin ${SCENARIO_LINUX_EXE} DIRECTORY)
    add_test(NAME windows_tool_accented_names
      COMMAND sh ${CMAKE_SOURCE_DIR}/tests/tools/windows_tool_test.sh ${SCENARIO_WINE_RUN}
              $<TARGET_FILE:scenario-tool> ${_linux_bin}/scenario-tool)
    set_tests_properties(windows_tool_accented_names PROPERTIES TIMEOUT 300)
  endif()

  find_program(SCENARIO_MINGW_OBJDUMP NAMES x86_64-w64-mingw32-objdump objdump REQUIRED)
  add_test(NAME windows_exe_subsystem_and_dlls
    COMMAND ${CMAKE_COMMAND} -D OBJDUMP=${SCENARIO_MINGW_OBJDUMP} -D FOLDER=$<TARGET_FILE_DIR:scenario>
            -D WINDOW_PROGRAMS=$<TARGET_FILE_NAME:scenario>
            -P ${CMAKE_SOURCE_DIR}/cmake/check-windows-programs.cmake)
endfunction()
