# Tells tools/release.sh where the build put the two Windows programs (the help folder is
# beside morvek.exe), one path a line: morvek.exe, then morvek-cli.exe.
if(WIN32)
    file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/release-programs.txt
         CONTENT "$<TARGET_FILE:morvek>\n$<TARGET_FILE:morvek-cli>\n")
endif()
