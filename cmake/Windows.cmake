# Windows builds: when cross-compiled on Linux, the executables run under Wine
# through a wrapper that finds the Qt and MinGW runtime DLLs and keeps its own
# Wine prefix inside the build folder.
if(NOT WIN32)
    return()
endif()
enable_language(RC)

# The offscreen platform of the interface tests reads fonts from one folder.
set(TESSEL3_QT_FONT_DIR "C:\\Windows\\Fonts")

if(CMAKE_CROSSCOMPILING AND CMAKE_CROSSCOMPILING_EMULATOR)
    set(TESSEL3_WINEPREFIX "${PROJECT_BINARY_DIR}/wineprefix" CACHE PATH
        "Wine prefix the tests run in")
    # Qt6Core.dll lies in <qt>/bin; the MinGW runtime beside the compiler.
    get_filename_component(_qt_bin "${Qt6_DIR}/../../../bin" ABSOLUTE)
    set(_dll_dirs "${_qt_bin}")
    foreach(_dll IN LISTS MINGW_RUNTIME_DLLS)
        get_filename_component(_dir "${_dll}" DIRECTORY)
        list(APPEND _dll_dirs "${_dir}")
    endforeach()
    list(REMOVE_DUPLICATES _dll_dirs)
    set(_wine_path "")
    foreach(_dir IN LISTS _dll_dirs)
        string(REPLACE "/" "\\" _dir "Z:${_dir}")
        string(APPEND _wine_path "${_dir}\\;")
    endforeach()
    set(TESSEL3_WINE_PATH "${_wine_path}")
    set(TESSEL3_WINE "${CMAKE_CROSSCOMPILING_EMULATOR}")
    configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${PROJECT_BINARY_DIR}/wine-run @ONLY
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
        WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR "${PROJECT_BINARY_DIR}/wine-run")
    # Wine shows the Linux root as drive Z:; paths handed to the tests need it.
    set(TESSEL3_HOST_DRIVE "Z:")

    # A fresh Wine prefix has no fonts of its own: Latin and Cyrillic from
    # DejaVu, Chinese from WenQuanYi.
    set(_font_dir "${PROJECT_BINARY_DIR}/qtfonts")
    file(MAKE_DIRECTORY "${_font_dir}")
    file(GLOB _fonts /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf
        /usr/share/fonts/truetype/wqy/wqy-microhei.ttc)
    foreach(_font IN LISTS _fonts)
        get_filename_component(_name "${_font}" NAME)
        file(CREATE_LINK "${_font}" "${_font_dir}/${_name}" SYMBOLIC)
    endforeach()
    string(REPLACE "/" "\\" TESSEL3_QT_FONT_DIR "Z:${_font_dir}")
    # Listing the test cases needs Wine; do it when ctest runs, not at build time.
    set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
endif()

# The program's icon, version resource and manifest (long paths, Windows 10/11,
# per-monitor DPI awareness).
function(tessel3_windows_resources target)
    set(TESSEL3_ICON "${PROJECT_SOURCE_DIR}/data/icons/tessel3.ico")
    set(TESSEL3_MANIFEST "${PROJECT_BINARY_DIR}/app/windows/tessel3.manifest")
    configure_file(${PROJECT_SOURCE_DIR}/app/windows/tessel3.manifest
        ${TESSEL3_MANIFEST} @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/app/windows/tessel3.rc.in
        ${PROJECT_BINARY_DIR}/app/windows/tessel3.rc @ONLY)
    target_sources(${target} PRIVATE ${PROJECT_BINARY_DIR}/app/windows/tessel3.rc)
endfunction()
