# Puts the sample list file beside the program, never over one that is already there.
if(NOT EXISTS "${DEST}")
    file(COPY_FILE "${SRC}" "${DEST}")
endif()
