# Where an installation keeps the modules, from the installation's prefix (the program finds them from
# its own folder, <prefix>/bin). Debian's multiarch folder where there is one.
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(LULLWATCH_MODULE_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/lullwatch)
else()
    set(LULLWATCH_MODULE_DIR lib/lullwatch)
endif()

# lullwatch_add_backend(NAME lib MODULE file ENTRY symbol SOURCES ... USES platform_libs... LIBS third_party...)
#
# A backend that pulls in large libraries, built once (position-independent) into two forms:
#   - `lib`, a static library for tests and small programs that link the backend in; it links its
#     platform libraries and third-party libraries itself, and keeps the entry point `symbol` in the
#     program's dynamic symbols, where the module loader (platform/fs/BackendModule.h) finds it first;
#   - `file`.so, a module that links only the third-party libraries and resolves the platform code from
#     the program that loads it (see lullwatch_link_backend_needs), put next to the program and
#     installed into LULLWATCH_MODULE_DIR.
function(lullwatch_add_backend)
    cmake_parse_arguments(B "" "NAME;MODULE;ENTRY" "SOURCES;USES;LIBS" ${ARGN})
    add_library(${B_NAME}_objects OBJECT ${B_SOURCES})
    set_target_properties(${B_NAME}_objects PROPERTIES POSITION_INDEPENDENT_CODE ON)
    target_link_libraries(${B_NAME}_objects PRIVATE ${B_LIBS})

    add_library(${B_NAME} STATIC $<TARGET_OBJECTS:${B_NAME}_objects>)
    target_link_libraries(${B_NAME} PUBLIC ${B_USES} ${B_LIBS})
    target_link_options(${B_NAME} INTERFACE "LINKER:--undefined=${B_ENTRY}"
                        "LINKER:--export-dynamic-symbol=${B_ENTRY}")

    add_library(${B_MODULE} MODULE $<TARGET_OBJECTS:${B_NAME}_objects>)
    target_link_libraries(${B_MODULE} PRIVATE ${B_LIBS})
    set_target_properties(${B_MODULE} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/app)
    install(TARGETS ${B_MODULE} LIBRARY DESTINATION ${LULLWATCH_MODULE_DIR})

    set_property(GLOBAL APPEND PROPERTY LULLWATCH_BACKEND_MODULES ${B_MODULE})
    set_property(GLOBAL APPEND PROPERTY LULLWATCH_BACKEND_USES ${B_USES})
endfunction()

# lullwatch_link_backend_needs(program): makes `program` the host of the backend modules. It exports
# its symbols to them and contains every object of the platform libraries they use, whether the program
# itself calls into that object or not (a static library would otherwise leave out what the program
# does not reference, and the module would fail to load). Building the program builds the modules.
function(lullwatch_link_backend_needs program)
    get_property(modules GLOBAL PROPERTY LULLWATCH_BACKEND_MODULES)
    get_property(uses GLOBAL PROPERTY LULLWATCH_BACKEND_USES)
    list(REMOVE_DUPLICATES uses)
    set_target_properties(${program} PROPERTIES ENABLE_EXPORTS ON)
    # Once, ahead of the program's objects: the libraries' ordinary places further on the link line then
    # add nothing twice. (CMake's WHOLE_ARCHIVE feature would repeat the libraries of a link cycle.)
    list(TRANSFORM uses REPLACE "(.+)" "$<TARGET_FILE:\\1>" OUTPUT_VARIABLE archives)
    list(JOIN archives " " archives)
    target_link_options(${program} PRIVATE "SHELL:-Wl,--whole-archive ${archives} -Wl,--no-whole-archive")
    target_link_libraries(${program} PRIVATE ${uses})
    add_dependencies(${program} ${modules})
endfunction()
