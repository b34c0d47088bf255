# What `cmake --install` puts where (prefix and DESTDIR honoured):
#   bin/kurvana2                                 the program
#   lib/kurvana2/kurvana2-{pdf,ocr}.so           its PDF and label-reading modules
#   share/kurvana2/                              language.txt and the help documents
#   share/applications/, share/metainfo/         the menu entry and the software-centre data
#   share/mime/packages/kurvana2.xml             application/x-kurvana-data for *.gra
#   share/icons/hicolor/{scalable,NxN}/apps/     the program icon
# The program finds share/kurvana2 and its modules relative to bin/ (settings/settingslocation.h,
# platform/programmodule.h).
set(KURVANA_APP_ID org.example.kurvana.kurvana2)
set(kurvana_desktop ${CMAKE_SOURCE_DIR}/data/desktop)

# The bitmap sizes of the icon are rendered from its SVG drawings at build time.
add_executable(kurvana2_render_icons tools/render_icons/main.cpp)
target_link_libraries(kurvana2_render_icons PRIVATE kurvana_icon)
set(kurvana_icon_pngs)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND kurvana_icon_pngs ${CMAKE_BINARY_DIR}/icons/hicolor/${size}x${size}/apps/kurvana2.png)
endforeach()
add_custom_command(OUTPUT ${kurvana_icon_pngs}
    COMMAND kurvana2_render_icons ${CMAKE_BINARY_DIR}/icons
    DEPENDS kurvana2_render_icons ${CMAKE_SOURCE_DIR}/data/icons/kurvana2.svg
            ${CMAKE_SOURCE_DIR}/data/icons/kurvana2-small.svg
    COMMENT "Rendering the program icon in its bitmap sizes")
add_custom_target(kurvana_icon_bitmaps ALL DEPENDS ${kurvana_icon_pngs})

install(TARGETS kurvana2 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS kurvana2-pdf kurvana2-ocr LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/kurvana2)
install(FILES ${KURVANA_DATA_FILES} ${KURVANA_HELP_FILES}
        DESTINATION ${CMAKE_INSTALL_DATADIR}/kurvana2)
install(FILES ${kurvana_desktop}/${KURVANA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${kurvana_desktop}/${KURVANA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${kurvana_desktop}/kurvana2-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME kurvana2.xml)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/kurvana2.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# Installed straight onto this machine (no DESTDIR, not packaging), the desktop learns of the
# new menu entry, file type and icon at once. A Debian package leaves this to the triggers of
# shared-mime-info, desktop-file-utils and the icon theme.
install(CODE [[
    if("$ENV{DESTDIR}" STREQUAL "" AND NOT CMAKE_INSTALL_LOCAL_ONLY)
        set(share "${CMAKE_INSTALL_PREFIX}/share")
        find_program(update_mime update-mime-database)
        find_program(update_desktop update-desktop-database)
        find_program(update_icons gtk-update-icon-cache)
        if(update_mime)
            execute_process(COMMAND ${update_mime} "${share}/mime" OUTPUT_QUIET ERROR_QUIET)
        endif()
        if(update_desktop)
            execute_process(COMMAND ${update_desktop} -q "${share}/applications"
                            OUTPUT_QUIET ERROR_QUIET)
        endif()
        if(update_icons)
            execute_process(COMMAND ${update_icons} -q -t "${share}/icons/hicolor"
                            OUTPUT_QUIET ERROR_QUIET)
        endif()
    endif()
]])
