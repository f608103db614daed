# The program's version, set once by project() in the top-level CMakeLists.txt. Everything
# that shows or names a version takes it from here: the version resources of both programs
# and the texts of the about box and the splash window (through the generated
# MorvekVersion.h), the help page (a configured copy of res/help/index.htm) and the names of
# the release files (tools/release.sh reads build/<preset>/version.txt).
#
# Shown to users as "1.0" while the patch number is 0, as "1.0.1" after that.
if(PROJECT_VERSION_PATCH EQUAL 0)
    set(MORVEK_DISPLAY_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
else()
    set(MORVEK_DISPLAY_VERSION "${PROJECT_VERSION}")
endif()
set(MORVEK_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/MorvekVersion.h.in
               ${MORVEK_GENERATED_DIR}/MorvekVersion.h @ONLY)
# The help page beside the program names the version too.
configure_file(${PROJECT_SOURCE_DIR}/res/help/index.htm
               ${MORVEK_GENERATED_DIR}/help/index.htm @ONLY)
file(WRITE ${PROJECT_BINARY_DIR}/version.txt.new "${PROJECT_VERSION}\n")
file(COPY_FILE ${PROJECT_BINARY_DIR}/version.txt.new ${PROJECT_BINARY_DIR}/version.txt
     ONLY_IF_DIFFERENT)
file(REMOVE ${PROJECT_BINARY_DIR}/version.txt.new)
