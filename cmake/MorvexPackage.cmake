# The runtime libraries and the CMake package an application finds with
# find_package(Morvex). IB_Morvex2RT holds every runtime module that this
# tree builds except the Access import, which is IB_ADO_Morvex2RT, linked
# against IB_Morvex2RT; applications link Morvex::IB_Morvex2RT and, for
# Access sources, Morvex::IB_ADO_Morvex2RT.
include(CMakePackageConfigHelpers)
include(GNUInstallDirs)

set(morvex_runtime_modules
  platform/rtl:morvex_rtl platform/ibo:morvex_ibo platform/cfb:morvex_cfb
  engine:morvex_engine sources/text:morvex_text sources/dbf:morvex_dbf sources/dbf:morvex_dbf_import
  sources/xls:morvex_xls sources/xls:morvex_xls_import sources/xml:morvex_xml sources/xml:morvex_xml_import sources/dataset:morvex_dataset)
# Of the "dir:target" entries, the targets that are built and their folders.
function(morvex_built_modules parts_var dirs_var)
  set(parts)
  set(dirs)
  foreach(entry IN LISTS ARGN)
    string(REPLACE ":" ";" pair ${entry})
    list(GET pair 0 dir)
    list(GET pair 1 target)
    if(TARGET ${target})
      list(APPEND parts ${target})
      list(APPEND dirs ${dir})
    endif()
  endforeach()
  list(REMOVE_DUPLICATES dirs)
  set(${parts_var} ${parts} PARENT_SCOPE)
  set(${dirs_var} ${dirs} PARENT_SCOPE)
endfunction()

# The public headers of the folders, without the private *_p.h ones.
function(morvex_install_headers)
  foreach(dir IN LISTS ARGN)
    install(DIRECTORY ${dir}/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/morvex
            FILES_MATCHING PATTERN "*.h" PATTERN "*_p.h" EXCLUDE)
  endforeach()
endfunction()

morvex_built_modules(morvex_runtime_parts morvex_runtime_dirs ${morvex_runtime_modules})

add_library(IB_Morvex2RT SHARED ${CMAKE_CURRENT_LIST_DIR}/library.cpp)
add_library(Morvex::IB_Morvex2RT ALIAS IB_Morvex2RT)
set_target_properties(IB_Morvex2RT PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
# Every member of the module archives goes into the library, so that an
# application can use any class, not only those another module happens to use.
target_link_libraries(IB_Morvex2RT PRIVATE -Wl,--whole-archive ${morvex_runtime_parts} -Wl,--no-whole-archive)
target_link_libraries(IB_Morvex2RT PUBLIC Qt6::Core Qt6::Core5Compat Qt6::Gui Qt6::Widgets Qt6::Sql)
target_include_directories(IB_Morvex2RT INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/morvex>)

morvex_install_headers(${morvex_runtime_dirs})
morvex_built_modules(morvex_ado_runtime_parts morvex_ado_runtime_dirs platform/ado:morvex_ado sources/access:morvex_access)
set(morvex_installed_libraries IB_Morvex2RT)
if(morvex_ado_runtime_parts)
  add_library(IB_ADO_Morvex2RT SHARED ${CMAKE_CURRENT_LIST_DIR}/library.cpp)
  add_library(Morvex::IB_ADO_Morvex2RT ALIAS IB_ADO_Morvex2RT)
  set_target_properties(IB_ADO_Morvex2RT PROPERTIES VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})
  # IB_Morvex2RT follows the Access modules on the link line, ahead of the
  # archives they depend on, so that the engine and the runtime layer are
  # taken from it and not copied out of their archives again.
  target_link_libraries(IB_ADO_Morvex2RT PRIVATE -Wl,--whole-archive ${morvex_ado_runtime_parts} -Wl,--no-whole-archive)
  target_link_libraries(IB_ADO_Morvex2RT PUBLIC IB_Morvex2RT)
  target_include_directories(IB_ADO_Morvex2RT INTERFACE $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/morvex>)
  morvex_install_headers(${morvex_ado_runtime_dirs})
  list(APPEND morvex_installed_libraries IB_ADO_Morvex2RT)
endif()

install(TARGETS ${morvex_installed_libraries} EXPORT MorvexTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(EXPORT MorvexTargets NAMESPACE Morvex:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Morvex)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/MorvexConfig.cmake.in
                              ${CMAKE_CURRENT_BINARY_DIR}/MorvexConfig.cmake
                              INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Morvex)
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/MorvexConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/MorvexConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/MorvexConfigVersion.cmake
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Morvex)
