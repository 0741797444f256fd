# Checks that the layers include only what stands below them: the engine
# uses the standard library alone (no operating-system header, nothing of
# framework/, widgets/, system/, app/ or cli/), and the core of the framework
# knows no Windows header and nothing of the layers above it.
#
#     cmake -DROOT=<source folder> -P check_layers.cmake
#
# Prints every offending include as file:line and fails when there is one.

if(NOT ROOT)
    message(FATAL_ERROR "check_layers.cmake: pass -DROOT=<source folder>")
endif()

# Headers of Windows and of its C runtime's system extensions.
set(windows_headers
    "windows|windowsx|winbase|windef|winuser|wingdi|winreg|winnt|winerror|winsock|winsock2|ws2tcpip|winternl"
    "|shellapi|shlobj|shlwapi|commctrl|commdlg|objbase|ole2|oleauto|tchar|io|direct|process|conio|mmsystem"
    "|wincrypt|bcrypt|richedit|uxtheme|dwmapi")
string(CONCAT windows_headers ${windows_headers})
set(windows_regex "^(${windows_headers})\\.h$")
# POSIX and other operating-system headers (the C library's own, such as
# <signal.h> or <errno.h>, are part of the language and allowed).
set(posix_regex
    "^((unistd|fcntl|dirent|pthread|dlfcn|termios|poll|pwd|grp|syslog|spawn|sched|semaphore|utime|glob|fnmatch)\\.h|(sys|netinet|arpa|net|linux|mach|mach-o)/.*)$")

# Reports every include of the folder's sources that the rules reject.
function(check_folder folder forbid_os forbid_layers)
    file(GLOB_RECURSE sources RELATIVE "${ROOT}" "${ROOT}/${folder}/*.h" "${ROOT}/${folder}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${ROOT}/${source}" lines)
        set(number 0)
        foreach(line IN LISTS lines)
            math(EXPR number "${number} + 1")
            if(NOT line MATCHES "^[ \t]*#[ \t]*include[ \t]*([<\"])([^>\"]+)[>\"]")
                continue()
            endif()
            set(quote "${CMAKE_MATCH_1}")
            set(header "${CMAKE_MATCH_2}")
            string(TOLOWER "${header}" lower)
            set(reason "")
            if(quote STREQUAL "<")
                if(lower MATCHES "${windows_regex}")
                    set(reason "a Windows header")
                elseif(forbid_os AND lower MATCHES "${posix_regex}")
                    set(reason "an operating-system header")
                endif()
            else()
                foreach(layer IN LISTS forbid_layers)
                    if(header MATCHES "^${layer}/")
                        set(reason "a header of ${layer}/")
                    endif()
                endforeach()
            endif()
            if(reason)
                message(NOTICE "${source}:${number}: ${folder}/ must not include ${header} (${reason})")
                set_property(GLOBAL APPEND PROPERTY layer_violations "${source}:${number}")
            endif()
        endforeach()
    endforeach()
endfunction()

check_folder(engine TRUE "framework;widgets;system;app;cli")
check_folder(framework/core TRUE "framework/win32;widgets;system;app;cli;engine")

get_property(violations GLOBAL PROPERTY layer_violations)
if(violations)
    list(LENGTH violations count)
    message(FATAL_ERROR "${count} include(s) across the layers")
endif()
message(STATUS "Layers: engine/ and framework/core/ include nothing from above or from the system")
