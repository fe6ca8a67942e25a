# One place for the flags every target of ours gets.
add_library(velmora_options INTERFACE)
if(MSVC)
    # The sources hold Japanese text in UTF-8; MSVC would otherwise read them in the system code page.
    target_compile_options(velmora_options INTERFACE /W4 /utf-8 /permissive-)
else()
    target_compile_options(velmora_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
endif()
target_compile_definitions(velmora_options INTERFACE QT_NO_FOREACH QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
                                                     $<$<PLATFORM_ID:Windows>:NOMINMAX>)
if(VELMORA_STRICT)
    if(MSVC)
        target_compile_options(velmora_options INTERFACE /WX)
    elseif(WIN32)
        # MinGW has no sanitizers.
        target_compile_options(velmora_options INTERFACE -Werror)
    else()
        # GCC's UndefinedBehaviorSanitizer leaves float-to-int casts unchecked unless asked.
        target_compile_options(velmora_options INTERFACE -Werror -fsanitize=address,undefined,float-cast-overflow
                                                         -fno-sanitize-recover=undefined,float-cast-overflow -fno-omit-frame-pointer)
        target_link_options(velmora_options INTERFACE -fsanitize=address,undefined,float-cast-overflow)
    endif()
endif()
