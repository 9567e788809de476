# Sources of the inline XDR schema validator, added to qzwin_msxml. They form
# an object library of their own so that their tests can link them directly.
add_library(qzwin_msxml_xdr OBJECT
  ${CMAKE_CURRENT_LIST_DIR}/xdr_content_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xdr_datatypes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xdr_errors.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xdr_schema.cpp
  ${CMAKE_CURRENT_LIST_DIR}/xdr_validator.cpp)
qz_strict(qzwin_msxml_xdr)
target_include_directories(qzwin_msxml_xdr PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qzwin_msxml_xdr PUBLIC qzwin_headers LibXml2::LibXml2)
target_sources(qzwin_msxml PRIVATE $<TARGET_OBJECTS:qzwin_msxml_xdr>)
