# The design document and its file, built like the objects above from their own sources.
add_library(kvtest_doc_parts STATIC
  ${KV_ROOT_DIR}/model/PrintOptions.cpp
  ${KV_ROOT_DIR}/model/KorvanelleDocument.cpp
  ${KV_ROOT_DIR}/model/DocumentLayout.cpp
  ${KV_ROOT_DIR}/model/DocumentAlbum.cpp
  ${KV_ROOT_DIR}/model/DocumentFile.cpp
  ${KV_ROOT_DIR}/model/BuiltInTemplates.cpp
  ${KV_ROOT_DIR}/model/OldFormat.cpp)
target_compile_options(kvtest_doc_parts PRIVATE -msse2 -mfpmath=sse)
target_link_libraries(kvtest_doc_parts PUBLIC kvtest_model_parts oleaut32)

kv_add_test(doc_model_tests SOURCES doc_document_test.cpp doc_file_test.cpp doc_file_bytes_test.cpp
            ../gdiplus_session.cpp
            LIBS kvtest_doc_parts)
kv_add_test(doc_robustness_tests SOURCES doc_robustness_test.cpp ../gdiplus_session.cpp
            LIBS kvtest_doc_parts psapi TIMEOUT 180)
