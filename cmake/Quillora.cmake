# Shared build helpers.

set(QUILLORA_WARNINGS -Wall -Wextra -Wno-unused-parameter)

# quillora_library(<name> DIR <folder> [RECURSE] [EXCLUDE <regex>] LIBS <targets...>)
# One static library per subsystem folder; sources are collected from the folder
# so that adding a file needs no build change. Files named form1_*.cpp are the
# main window's handlers of that subsystem and are built into the app instead.
function(quillora_library name)
    cmake_parse_arguments(Q "RECURSE" "DIR;EXCLUDE" "LIBS;PCH" ${ARGN})
    if(Q_RECURSE)
        file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${Q_DIR}/*.cpp ${Q_DIR}/*.h)
    else()
        file(GLOB srcs CONFIGURE_DEPENDS ${Q_DIR}/*.cpp ${Q_DIR}/*.h)
    endif()
    list(FILTER srcs EXCLUDE REGEX "/form1_[^/]*\\.cpp$")
    if(Q_EXCLUDE)
        list(FILTER srcs EXCLUDE REGEX "${Q_EXCLUDE}")
    endif()
    list(FILTER srcs INCLUDE REGEX "\\.(cpp|h)$")
    set(cpps ${srcs})
    list(FILTER cpps INCLUDE REGEX "\\.cpp$")
    if(NOT cpps)
        # A subsystem whose folder holds nothing to compile yet.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${Q_LIBS})
        return()
    endif()
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${Q_LIBS})
    target_compile_options(${name} PRIVATE ${QUILLORA_WARNINGS})
    if(Q_PCH)
        target_precompile_headers(${name} PRIVATE ${Q_PCH})
    endif()
endfunction()

# quillora_tests(LIBS <targets...>): every tst_*.cpp in the calling folder becomes
# one QtTest executable registered with CTest. Extra sources shared by the
# suites of a folder may be named in SHARED.
function(quillora_tests)
    cmake_parse_arguments(Q "" "" "LIBS;SHARED" ${ARGN})
    file(GLOB tests CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tst_*.cpp)
    foreach(src ${tests})
        get_filename_component(tname ${src} NAME_WE)
        get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
        set(target ${folder}_${tname})
        add_executable(${target} ${src} ${Q_SHARED})
        target_link_libraries(${target} PRIVATE ${Q_LIBS} Qt6::Test Qt6::Widgets)
        target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/tests)
        target_compile_options(${target} PRIVATE ${QUILLORA_WARNINGS})
        target_compile_definitions(${target} PRIVATE
            QUILLORA_CORPUS_DIR="${PROJECT_SOURCE_DIR}/../shared/corpus"
            QUILLORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
            QUILLORA_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
        add_test(NAME ${target} COMMAND ${target})
        set_tests_properties(${target} PROPERTIES
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
            TIMEOUT 120)
    endforeach()
endfunction()
