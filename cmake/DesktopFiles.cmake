# Installing a program's desktop entry, AppStream metainfo and icons.
#
# install_desktop_files(APP_ID RESOURCE_DIR) installs from RESOURCE_DIR
#   APP_ID.desktop               -> share/applications
#   APP_ID.metainfo.xml          -> share/metainfo
#   APP_ID.svg                   -> share/icons/hicolor/scalable/apps
#   icons/NxN/APP_ID.png         -> share/icons/hicolor/NxN/apps (every size there;
#                                   scripts/make_icons.sh writes them from the SVG)
function(install_desktop_files app_id resource_dir)
  install(FILES ${resource_dir}/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${resource_dir}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${resource_dir}/${app_id}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  file(GLOB pngs RELATIVE ${resource_dir}/icons ${resource_dir}/icons/*/${app_id}.png)
  foreach(png IN LISTS pngs)
    get_filename_component(size ${png} DIRECTORY)
    install(FILES ${resource_dir}/icons/${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
  endforeach()
endfunction()
