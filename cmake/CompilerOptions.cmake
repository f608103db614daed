# Options shared by every target of the project.
#
# Source files are UTF-8; string literals are stored as Shift_JIS (code page 932), which is
# the program's only text encoding.
# Resource scripts are compiled by windres, which takes none of these options.
set(MORVEK_C_LANGS "$<COMPILE_LANGUAGE:C,CXX>")
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options("$<${MORVEK_C_LANGS}:-finput-charset=UTF-8;-fexec-charset=CP932>")
elseif(MORVEK_FUZZ)
    # Clang only knows UTF-8 literals. The fuzz build looks for crashes and overruns, which
    # do not depend on what the literals hold; every other build is GCC's.
    message(STATUS "Fuzz build: string literals stay UTF-8")
else()
    message(FATAL_ERROR "The program's Shift_JIS literals need GCC (-fexec-charset=CP932)")
endif()
add_compile_options("$<${MORVEK_C_LANGS}:-Wall;-Wextra;-Wpedantic;-Wshadow;-Wnon-virtual-dtor;-Wcast-qual;-Wformat=2;-Wundef>")
if(MORVEK_WERROR)
    add_compile_options("$<${MORVEK_C_LANGS}:-Werror>")
endif()

if(MORVEK_SANITIZE)
    add_compile_options("$<${MORVEK_C_LANGS}:-fsanitize=address,undefined;-fno-sanitize-recover=all;-fno-omit-frame-pointer>")
    add_link_options(-fsanitize=address,undefined)
endif()

if(MORVEK_FUZZ)
    # Libraries are instrumented for coverage; each fuzz target links libFuzzer's main.
    add_compile_options("$<${MORVEK_C_LANGS}:-fsanitize=fuzzer-no-link,address,undefined;-fno-sanitize-recover=all;-fno-omit-frame-pointer>")
    add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
    # A statically linked program runs without the compiler's runtime DLLs.
    add_link_options(-static -static-libgcc -static-libstdc++)
    add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                            _WIN32_WINNT=0x0601 WINVER=0x0601)
endif()

# Adds a library made of the sources of one folder of the project.
function(morvek_library name)
    add_library(${name} STATIC ${ARGN})
    morvek_include_root(${name} PUBLIC)
endfunction()

# Gives a target the include root of its own folder: a folder of the build tree that holds
# only a link to that folder, under its path in the source tree ("engine/mime/..."). A
# library sees its own headers and, through what it links, those of the libraries below it;
# nothing else of the source tree.
function(morvek_include_root name scope)
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    set(root ${PROJECT_BINARY_DIR}/include/${name})
    get_filename_component(parent ${root}/${folder} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    if(NOT IS_SYMLINK ${root}/${folder})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
    endif()
    target_include_directories(${name} ${scope} ${root})
endfunction()
