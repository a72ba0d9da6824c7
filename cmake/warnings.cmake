# One interface target carries the warning flags; every library and test links it.
add_library(tarnwick_warnings INTERFACE)
target_compile_options(tarnwick_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                                   -Wold-style-cast -Wcast-align -Woverloaded-virtual)
if(TARNWICK_WERROR)
    target_compile_options(tarnwick_warnings INTERFACE -Werror)
endif()

if(TARNWICK_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
