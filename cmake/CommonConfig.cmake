# Flags every target of the project shares; link vidlark_common to get them.
add_library(vidlark_common INTERFACE)
target_compile_features(vidlark_common INTERFACE cxx_std_20)
target_compile_options(vidlark_common INTERFACE -Wall -Wextra -Wpedantic)
target_compile_definitions(vidlark_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_KEYWORDS
    VIDLARK_APP_ID="${VIDLARK_APP_ID}"
    VIDLARK_VERSION="${PROJECT_VERSION}")
target_include_directories(vidlark_common INTERFACE ${PROJECT_SOURCE_DIR}/src)

if(VIDLARK_WERROR)
    target_compile_options(vidlark_common INTERFACE -Werror)
endif()

if(VIDLARK_SANITIZE)
    target_compile_options(vidlark_common INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(vidlark_common INTERFACE -fsanitize=address,undefined)
    # The JPEG library (the logo's plugin needs it) is loaded at start-up, not
    # by the plugin: the leak checker of GCC 12 misreads the thread-local block
    # of a library opened later that has not used it yet (glibc 2.36) and dies.
    target_link_options(vidlark_common INTERFACE
        "LINKER:--push-state,--no-as-needed,-l:libjpeg.so.62,--pop-state")
endif()

# Coverage for libFuzzer in every library, so the fuzz targets steer by the
# parsers' own branches; the targets link the fuzzer itself (fuzz/CMakeLists.txt).
if(VIDLARK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "VIDLARK_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    target_compile_options(vidlark_common INTERFACE
        -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_link_options(vidlark_common INTERFACE -fsanitize=address,undefined)
endif()
