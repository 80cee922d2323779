# Fails when a file under src/core includes a toolkit or operating-system header, or reaches up
# across the core's layers. Each folder may include its own headers and those of folders on a
# lower layer; folders on one layer stay independent of each other:
#   6 procedures guided   start-up search, Set Up Data: whole exchanges with the receiver;
#                         the guided set-up
#   5 capture             the capture session
#   4 analysis firmware   timing analysis; the boot loader's link and the update
#   3 device layouts      transport, link, commands; key layouts and button roles
#   2 datafile ir keys    files, IR decoders and importers, key codes
#   1 model               records and the model
#   0 bytes text          little-endian helpers, texts
set(layer_bytes 0)
set(layer_text 0)
set(layer_model 1)
set(layer_datafile 2)
set(layer_ir 2)
set(layer_keys 2)
set(layer_device 3)
set(layer_layouts 3)
set(layer_analysis 4)
set(layer_firmware 4)
set(layer_capture 5)
set(layer_procedures 6)
set(layer_guided 6)

file(GLOB_RECURSE files ${CORE_DIR}/*.cpp ${CORE_DIR}/*.hpp)
set(bad "")
foreach(f ${files})
    file(RELATIVE_PATH rel ${CORE_DIR} ${f})
    string(REGEX REPLACE "/.*" "" folder "${rel}")
    if(NOT DEFINED layer_${folder})
        list(APPEND bad "${f}: the folder '${folder}' has no layer")
        continue()
    endif()
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line ${lines})
        if(line MATCHES "<(Q[A-Za-z]*|sys/|linux/|unistd|fcntl|windows|poll|dirent|termios|pthread)")
            list(APPEND bad "${f}: ${line}")
        elseif(line MATCHES "\"core/([a-z_]+)/")
            set(target ${CMAKE_MATCH_1})
            if(NOT target STREQUAL folder AND
               (NOT DEFINED layer_${target} OR NOT layer_${target} LESS layer_${folder}))
                list(APPEND bad "${f}: ${line} (${folder} may not include ${target})")
            endif()
        endif()
    endforeach()
endforeach()
if(bad)
    string(REPLACE ";" "\n" bad "${bad}")
    message(FATAL_ERROR "core includes headers it may not:\n${bad}")
endif()
