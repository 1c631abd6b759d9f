# Included from tests/CMakeLists.txt: the tests that show the programs survive crashes, crowds of
# popups and hostile files (docs/reliability.md).

# The child that the crash-consistency test kills in the middle of its saves.
add_executable(crashwriter crashwriter.cpp crashcontents.h)
target_link_libraries(crashwriter PRIVATE tarvelin_common)
set_target_properties(crashwriter PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)

tarvelin_add_test(tst_crashconsistency SOURCES tst_crashconsistency.cpp crashcontents.h exchangecheck.h
                  LIBS tarvelin_common LABELS reliability files processes)
target_compile_definitions(tst_crashconsistency PRIVATE CRASHWRITER_PATH="$<TARGET_FILE:crashwriter>")
add_dependencies(tst_crashconsistency crashwriter)
# A minute in the dev build; several under the sanitizers on a busy machine.
set_tests_properties(tst_crashconsistency PROPERTIES TIMEOUT 900)

# 50 real popups at once against 25 free slots, five rounds.
tarvelin_add_test(tst_vexasoak SOURCES tst_vexasoak.cpp exchangecheck.h LIBS tarvelin_common
                  LABELS reliability processes)
target_compile_definitions(tst_vexasoak PRIVATE VEXA_PATH="$<TARGET_FILE:vexa>")
add_dependencies(tst_vexasoak vexa)
set_tests_properties(tst_vexasoak PROPERTIES TIMEOUT 900)

tarvelin_add_test(tst_launchsecurity SOURCES tst_launchsecurity.cpp LIBS tarvelin_manager
                  LABELS reliability processes)

# Damaged and hostile record and exchange files, and writes the disk refuses.
tarvelin_add_test(tst_hostilefiles SOURCES tst_hostilefiles.cpp LIBS tarvelin_manager
                  LABELS reliability files)
target_compile_definitions(tst_hostilefiles PRIVATE VEXA_PATH="$<TARGET_FILE:vexa>")
add_dependencies(tst_hostilefiles vexa)
set_tests_properties(tst_hostilefiles PROPERTIES TIMEOUT 900)
