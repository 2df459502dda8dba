# Copies SRC to DST unless DST exists: a user's own file is never overwritten.
if(NOT EXISTS "${DST}")
    configure_file("${SRC}" "${DST}" COPYONLY)
endif()
