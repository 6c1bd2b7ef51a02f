# Fails the build when a source file includes a header of a layer above its
# own. Run by the build (target jxc_layers) before any library compiles, so
# an include that runs the wrong way stops the build where it was written.
#
# The layers, lowest first; a folder may include its own headers and those of
# the layers below it, never those of its siblings or of the layers above:
#   db         the engine: schema, embedded driver, settings, setup
#   app        services every form uses: login state, rights, log, connection
#   widgets    shared form machinery, cell editors, dialogs and seams
#   master stock admin finance tracking    the features, side by side
#   app/shell  the login dialog, main window and form catalogue
cmake_minimum_required(VERSION 3.16)

set(allowed_db "db")
set(allowed_app "db;app")
set(allowed_widgets "db;app;widgets")
foreach(feature master stock admin finance tracking)
    set(allowed_${feature} "db;app;widgets;${feature}")
endforeach()
set(allowed_shell "db;app;widgets;master;stock;admin;finance;tracking;shell")

set(problems "")
foreach(layer db app widgets master stock admin finance tracking shell)
    if(layer STREQUAL "shell")
        set(dir "${ROOT}/app/shell")
    else()
        set(dir "${ROOT}/${layer}")
    endif()
    file(GLOB sources "${dir}/*.cpp" "${dir}/*.h")
    foreach(source ${sources})
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[a-z]+/")
        foreach(line ${includes})
            string(REGEX REPLACE ".*\"([a-z]+)/([a-z]+/)?.*" "\\1" target_layer "${line}")
            if(target_layer STREQUAL "app" AND line MATCHES "\"app/shell/")
                set(target_layer "shell")
            endif()
            if(NOT target_layer IN_LIST allowed_${layer})
                file(RELATIVE_PATH shown "${ROOT}" "${source}")
                string(STRIP "${line}" line)
                string(APPEND problems "\n  ${shown}: ${line} (${layer} may include only: ${allowed_${layer}})")
            endif()
        endforeach()
    endforeach()
endforeach()

if(problems)
    message(FATAL_ERROR "Includes that run against the layers:${problems}")
endif()
if(STAMP)
    file(TOUCH "${STAMP}")
endif()
