# Checks that every folder of sources includes only what its layer may use:
# the headers of the layers listed for it below, the standard library, the
# libraries named for it, and operating-system headers only where the layer
# is allowed to know the system; and inside app/ and engine/, that a unit
# includes only the units below it in its folder's unit order.
#
#     cmake -DROOT=<source folder> -P check_layers.cmake
#         prints every offending include as file:line and fails when there
#         is one, or when a folder holds sources but is in no layer, or a
#         unit of an ordered folder is in no place of its order;
#     cmake -DROOT=<tree of wrong includes> -DSELF_TEST=ON -P check_layers.cmake
#         proves the check: every include marked "// breach" in that tree must
#         be reported, no other may be, and every layer and every unit
#         order must have one.

cmake_minimum_required(VERSION 3.20)

if(NOT ROOT)
    message(FATAL_ERROR "check_layers.cmake: pass -DROOT=<source folder>")
endif()

# The layers, top down: folder, the folders it may include besides itself,
# and whether it may include operating-system headers (SYSTEM) or is
# portable C++ alone (PORTABLE). system/ stands on widgets/: the form
# background paints with the painted controls' own gradient, texture and
# hatch classes, and widgets/ never includes system/. platform/ is the lowest
# layer, on nothing of ours, so the object model may stand on it too: it
# takes its letter case and hexadecimal digits from platform/ascii.h, the
# same ones the engine and the command line use (its own sources stay
# portable).
set(layers)
macro(layer folder os)
    list(APPEND layers ${folder})
    set(allowed_${folder} ${ARGN})
    set(os_${folder} ${os})
endmacro()
set(gui framework/win32 framework/core picture platform)
layer(devtools          SYSTEM   app system widgets ${gui} engine)
layer(app               SYSTEM   system widgets ${gui} engine)
layer(system            SYSTEM   widgets ${gui})
layer(widgets           SYSTEM   ${gui})
layer(framework/win32   SYSTEM   framework/core picture platform)
layer(framework/core    PORTABLE platform)
layer(picture           PORTABLE)
layer(cli               PORTABLE engine platform)
layer(engine            PORTABLE platform)
layer(platform          SYSTEM)
layer(bench             SYSTEM   cli engine platform tests/engine)
layer(fuzz              PORTABLE cli engine picture platform tests/engine)
# The tests of a layer may use what it uses, and the test support of the
# layers below it.
layer(tests/app             SYSTEM app system widgets ${gui} engine tests/cli tests/engine tests/framework tests/system)
layer(tests/system          SYSTEM system widgets ${gui} tests/framework)
layer(tests/widgets         SYSTEM widgets ${gui} tests/framework)
layer(tests/framework       SYSTEM ${gui})
layer(tests/picture         SYSTEM picture)
layer(tests/cli             SYSTEM cli engine platform tests/engine)
layer(tests/engine          SYSTEM engine platform)
layer(tests/platform        SYSTEM platform)
layer(tests/fault_injection SYSTEM)
layer(tests/browser         SYSTEM)
layer(tests/package         SYSTEM)
layer(tests/support         SYSTEM)

# The units of a folder (the stems of its files), top down: a unit includes
# only units below it, so that the includes inside the folder run one way
# and close no circle. A new unit takes its place in its folder's list.
# app/: the program entry and the maker of the windows on top, then the
# main window and the splash, the runs and the windows they show, and the
# pieces every window is built from at the bottom.
set(ordered_folders app engine)
set(units_app
    main window_set main_window splash batch_run conn options_dialog tip_window log_window closing_note
    about page_choice run_host window_parts run_options)
# engine/: the runs over pages on top, then one page's compression, the
# page formats, the codecs and the page's text, and the file and error
# basics at the bottom.
set(units_engine
    batch page_list restore verify preview_text backup tree own_page page_compression site_file
    site_dictionary page_names classic_page page_prepare page_reader password raw_data encoder page_options
    modern_page loader_script lzma_script carrier_text lzma deflate base91 charset job_host page_format
    data_format file_io size_limit errors)

# Libraries and the layers that may include them: the crypto library stays
# behind platform/, zlib is the engine's, GoogleTest the tests'.
set(library_regex_gtest "^(gtest|gmock)/")
set(library_users_gtest tests)
set(library_regex_openssl "^openssl/")
set(library_users_openssl platform tests)
set(library_regex_zlib "^(zlib|zconf|libdeflate)\\.h$")
set(library_users_zlib engine tests bench fuzz)
set(library_regex_benchmark "^benchmark/")
set(library_users_benchmark bench)
set(libraries gtest openssl zlib benchmark)

# Folders that hold no C or C++ sources of a layer.
set(not_layers build .git .ci cmake docs examples resources scripts tests/layers)

# Headers of Windows and of its C runtime's system extensions.
string(CONCAT windows_headers
    "windows|windowsx|winbase|windef|winuser|wingdi|winreg|winnt|winerror|winsock|winsock2|ws2tcpip|winternl"
    "|shellapi|shlobj|shlwapi|commctrl|commdlg|objbase|ole2|oleauto|tchar|io|direct|process|conio|mmsystem"
    "|wincrypt|bcrypt|richedit|uxtheme|dwmapi")
set(windows_regex "^(${windows_headers})\\.h$")
# POSIX and other operating-system headers (the C library's own, such as
# <signal.h> or <errno.h>, are part of the language and allowed).
set(posix_regex
    "^((unistd|fcntl|dirent|pthread|dlfcn|termios|poll|pwd|grp|syslog|spawn|sched|semaphore|utime|glob|fnmatch)\\.h|(sys|netinet|arpa|net|linux|mach|mach-o)/.*)$")

# The layer a path (a source, or a header as included) belongs to: the
# longest folder of the table it lies in, or "" for none.
function(layer_of path out)
    set(found "")
    set(found_length 0)
    foreach(candidate IN LISTS layers)
        string(LENGTH "${candidate}" length)
        if(path MATCHES "^${candidate}/" AND length GREATER found_length)
            set(found "${candidate}")
            set(found_length ${length})
        endif()
    endforeach()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

# True when the layer lies in one of the folders listed (a layer "tests/cli"
# lies in "tests").
function(layer_in layer folders out)
    set(result FALSE)
    foreach(folder IN LISTS folders)
        if(layer STREQUAL folder OR layer MATCHES "^${folder}/")
            set(result TRUE)
        endif()
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Why the layer must not include this header, or "" when it may.
function(breach_of layer source quote header out)
    set(reason "")
    string(TOLOWER "${header}" lower)
    if(quote STREQUAL "<")
        if(os_${layer} STREQUAL "PORTABLE" AND lower MATCHES "${windows_regex}")
            set(reason "a Windows header")
        elseif(os_${layer} STREQUAL "PORTABLE" AND lower MATCHES "${posix_regex}")
            set(reason "an operating-system header")
        endif()
        foreach(library IN LISTS libraries)
            if(header MATCHES "${library_regex_${library}}")
                layer_in("${layer}" "${library_users_${library}}" may)
                if(NOT may)
                    set(reason "a header of the ${library} library")
                endif()
            endif()
        endforeach()
    else()
        get_filename_component(folder "${source}" DIRECTORY)
        if(NOT header MATCHES "/" OR EXISTS "${ROOT}/${folder}/${header}")
            # Beside the source: its own layer.
            set(reason "")
        else()
            layer_of("${header}" target)
            if(target STREQUAL "")
                set(reason "a header of no layer")
            elseif(NOT target STREQUAL layer AND NOT target IN_LIST allowed_${layer})
                set(reason "a header of ${target}/")
            endif()
        endif()
        if(reason STREQUAL "")
            unit_breach_of("${source}" "${header}" reason)
        endif()
    endif()
    set(${out} "${reason}" PARENT_SCOPE)
endfunction()

# The unit a source is, and the list it belongs to ("" when its folder has
# no order).
function(unit_of source out_folder out_unit)
    get_filename_component(folder "${source}" DIRECTORY)
    get_filename_component(unit "${source}" NAME_WE)
    if(NOT folder IN_LIST ordered_folders)
        set(folder "")
    endif()
    set(${out_folder} "${folder}" PARENT_SCOPE)
    set(${out_unit} "${unit}" PARENT_SCOPE)
endfunction()

# Why a source must not include this header of its own folder, or "" when
# it may: the header's unit stands above the source's, or in no order.
function(unit_breach_of source header out)
    set(reason "")
    unit_of("${source}" folder unit)
    if(NOT folder STREQUAL "")
        set(target "")
        if(header MATCHES "^${folder}/[^/]+$")
            set(target "${header}")
        elseif(NOT header MATCHES "/" AND EXISTS "${ROOT}/${folder}/${header}")
            set(target "${folder}/${header}")
        endif()
        if(NOT target STREQUAL "")
            get_filename_component(other "${target}" NAME_WE)
            list(FIND units_${folder} "${unit}" at)
            list(FIND units_${folder} "${other}" other_at)
            if(other_at LESS 0)
                set(reason "${other} is in no place of the unit order of ${folder}/")
            elseif(at GREATER_EQUAL 0 AND NOT other STREQUAL unit AND NOT other_at GREATER at)
                set(reason "${other} stands above ${unit} in the unit order of ${folder}/")
            endif()
        endif()
    endif()
    set(${out} "${reason}" PARENT_SCOPE)
endfunction()

set(include_regex "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"](.*)$")

# Every C and C++ source under ROOT, and the folders holding sources that
# are in no layer.
set(sources)
file(GLOB children RELATIVE "${ROOT}" LIST_DIRECTORIES true "${ROOT}/*")
foreach(child IN LISTS children)
    if(child IN_LIST not_layers OR child STREQUAL "node_modules")
        continue()
    endif()
    if(IS_DIRECTORY "${ROOT}/${child}")
        file(GLOB_RECURSE found RELATIVE "${ROOT}" LIST_DIRECTORIES false
            "${ROOT}/${child}/*.h" "${ROOT}/${child}/*.hpp" "${ROOT}/${child}/*.c" "${ROOT}/${child}/*.cpp")
        list(APPEND sources ${found})
    elseif(child MATCHES "\\.(h|hpp|c|cpp)$")
        list(APPEND sources "${child}")
    endif()
endforeach()
set(reported 0)
set(strays)
set(unordered)
set(breached_layers)
set(breached_orders)
foreach(source IN LISTS sources)
    layer_in("${source}" "${not_layers}" skipped)
    if(skipped OR source MATCHES "(^|/)(build|node_modules)/")
        continue()
    endif()
    layer_of("${source}" layer)
    if(layer STREQUAL "")
        get_filename_component(folder "${source}" DIRECTORY)
        if(NOT folder IN_LIST strays)
            list(APPEND strays "${folder}")
            message(NOTICE "${source}: ${folder}/ is in no layer of tests/layers/check_layers.cmake")
            if(NOT SELF_TEST)
                math(EXPR reported "${reported} + 1")
            endif()
        endif()
        continue()
    endif()
    unit_of("${source}" ordered unit)
    if(NOT ordered STREQUAL "" AND NOT unit IN_LIST units_${ordered})
        list(APPEND unordered "${source}")
        message(NOTICE "${source}: ${unit} is in no place of the unit order of ${ordered}/ in tests/layers/check_layers.cmake")
        if(NOT SELF_TEST)
            math(EXPR reported "${reported} + 1")
        endif()
    endif()
    # Most sources have no breach: look at their include lines first, and
    # count lines only in a source that has one (or a marked one).
    file(STRINGS "${ROOT}/${source}" includes REGEX "^[ \t]*#[ \t]*include")
    set(suspect FALSE)
    foreach(line IN LISTS includes)
        if(line MATCHES "${include_regex}")
            set(rest "${CMAKE_MATCH_3}")
            breach_of("${layer}" "${source}" "${CMAKE_MATCH_1}" "${CMAKE_MATCH_2}" reason)
            if(reason OR (SELF_TEST AND rest MATCHES "// breach"))
                set(suspect TRUE)
            endif()
        endif()
    endforeach()
    if(NOT suspect)
        continue()
    endif()
    file(STRINGS "${ROOT}/${source}" lines)
    set(number 0)
    foreach(line IN LISTS lines)
        math(EXPR number "${number} + 1")
        if(NOT line MATCHES "${include_regex}")
            continue()
        endif()
        set(quote "${CMAKE_MATCH_1}")
        set(header "${CMAKE_MATCH_2}")
        set(marked FALSE)
        if(CMAKE_MATCH_3 MATCHES "// breach")
            set(marked TRUE)
        endif()
        breach_of("${layer}" "${source}" "${quote}" "${header}" reason)
        if(reason)
            message(NOTICE "${source}:${number}: ${layer}/ must not include ${header} (${reason})")
            list(APPEND breached_layers ${layer})
            if(reason MATCHES "unit order of ([^ ]+)/$")
                list(APPEND breached_orders ${CMAKE_MATCH_1})
            endif()
        endif()
        if(SELF_TEST AND marked AND NOT reason)
            message(NOTICE "${source}:${number}: the breach of ${header} went unnoticed")
            math(EXPR reported "${reported} + 1")
        elseif(SELF_TEST AND reason AND NOT marked)
            message(NOTICE "${source}:${number}: ${header} was reported but is allowed")
            math(EXPR reported "${reported} + 1")
        elseif(NOT SELF_TEST AND reason)
            math(EXPR reported "${reported} + 1")
        endif()
    endforeach()
endforeach()

if(SELF_TEST)
    # A kind of breach the tree never tried is a gap in the proof.
    macro(untried text)
        message(NOTICE "${text}")
        math(EXPR reported "${reported} + 1")
    endmacro()
    foreach(layer IN LISTS layers)
        if(NOT layer IN_LIST breached_layers)
            untried("${layer}/: no breach of this layer was tried")
        endif()
    endforeach()
    foreach(folder IN LISTS ordered_folders)
        if(NOT folder IN_LIST breached_orders)
            untried("${folder}/: no breach of its unit order was tried")
        endif()
    endforeach()
    if(NOT strays)
        untried("no folder outside the layers was tried")
    endif()
    if(NOT unordered)
        untried("no unit outside the unit orders was tried")
    endif()
    if(reported GREATER 0)
        message(FATAL_ERROR "The layer check missed or wrongly reported ${reported} include(s)")
    endif()
    list(REMOVE_DUPLICATES breached_layers)
    list(LENGTH breached_layers count)
    message(STATUS "Layers: a breach in each of the ${count} layers and of each unit order was caught, and nothing else")
    return()
endif()

if(reported GREATER 0)
    message(FATAL_ERROR "${reported} include(s), unit(s) or folder(s) outside the layers or their unit orders")
endif()
list(LENGTH layers count)
list(TRANSFORM ordered_folders APPEND "/" OUTPUT_VARIABLE ordered)
list(JOIN ordered " and " ordered)
message(STATUS "Layers: the sources of all ${count} layers include only what their layer may, "
               "and the units of ${ordered} only the units below them")
