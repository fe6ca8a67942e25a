# One place for the flags every target of ours gets.
add_library(velmora_options INTERFACE)
target_compile_options(velmora_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
target_compile_definitions(velmora_options INTERFACE QT_NO_FOREACH QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
if(VELMORA_STRICT)
    target_compile_options(velmora_options INTERFACE -Werror -fsanitize=address,undefined
                                                     -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    target_link_options(velmora_options INTERFACE -fsanitize=address,undefined)
endif()

# Adds sources of a subsystem folder to one of the layer libraries.
function(velmora_sources target)
    target_sources(${target} PRIVATE ${ARGN})
endfunction()
