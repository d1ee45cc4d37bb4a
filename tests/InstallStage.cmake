# Installs the build into a fresh folder for the tests that check what is installed.
# cmake -DBUILD_DIR=... -DSTAGE=... -P InstallStage.cmake
# A test that stopped half-way may have left it read-only.
if(EXISTS "${STAGE}")
    file(CHMOD_RECURSE "${STAGE}"
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE
        DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endif()
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${STAGE}"
    OUTPUT_QUIET RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "install into ${STAGE} failed: ${result}")
endif()
