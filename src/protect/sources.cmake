target_sources(tarvexlib PRIVATE
    ${CMAKE_SOURCE_DIR}/src/protect/cipher.h
    ${CMAKE_SOURCE_DIR}/src/protect/cipher.cpp
)
