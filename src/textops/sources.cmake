target_sources(tarvexlib PRIVATE
    ${CMAKE_SOURCE_DIR}/src/textops/caserules.h ${CMAKE_SOURCE_DIR}/src/textops/caserules.cpp
    ${CMAKE_SOURCE_DIR}/src/textops/autocorrection.h
    ${CMAKE_SOURCE_DIR}/src/textops/autocorrection.cpp
    ${CMAKE_SOURCE_DIR}/src/textops/wordselection.h
    ${CMAKE_SOURCE_DIR}/src/textops/wordselection.cpp
    ${CMAKE_SOURCE_DIR}/src/textops/spacestripping.h
    ${CMAKE_SOURCE_DIR}/src/textops/spacestripping.cpp
    ${CMAKE_SOURCE_DIR}/src/textops/datetimetext.h
    ${CMAKE_SOURCE_DIR}/src/textops/datetimetext.cpp
    ${CMAKE_SOURCE_DIR}/src/textops/htmltemplate.h
    ${CMAKE_SOURCE_DIR}/src/textops/htmltemplate.cpp
    ${CMAKE_SOURCE_DIR}/src/textops/casecommands.h
    ${CMAKE_SOURCE_DIR}/src/textops/casecommands.cpp
    ${CMAKE_SOURCE_DIR}/src/textops/autocapitalise.h
    ${CMAKE_SOURCE_DIR}/src/textops/autocapitalise.cpp
    ${CMAKE_SOURCE_DIR}/src/textops/selectioncommands.h
    ${CMAKE_SOURCE_DIR}/src/textops/selectioncommands.cpp
    ${CMAKE_SOURCE_DIR}/src/textops/insertioncommands.h
    ${CMAKE_SOURCE_DIR}/src/textops/insertioncommands.cpp
)
