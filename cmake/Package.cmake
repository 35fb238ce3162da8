# The Debian package, made by CPack from the install component "deb" (which a
# plain `cmake --install` leaves out): the program and its shipped files in
# /usr/lib/kuvertix, the launcher /usr/bin/kuvertix that gives every user a
# program folder of their own (app/files/kuvertix-launcher), the menu entry,
# the icon and the AppStream metainfo. tools/package.sh builds and checks it.

set(KUVERTIX_RELEASE_DATE 2026-12-09)  # of the release PROJECT_VERSION names
set(KUVERTIX_DEB_ID ru.kuvertix.Kuvertix)
set(KUVERTIX_DEB_FILES ${PROJECT_SOURCE_DIR}/app/files/deb)
set(KUVERTIX_DEB_BUILD ${CMAKE_BINARY_DIR}/package)
set(KUVERTIX_DEB_LIB lib/kuvertix)
set(deb COMPONENT deb EXCLUDE_FROM_ALL)

# The files of the program folder that the package ships read-only; a file the
# build adds to the program folder for the program to open belongs here too.
set(KUVERTIX_SHIPPED_FILES
  "Kuvertix.htm" "Kuvertix.xls" "Kuvertix ZIPcode.ttf"
  "Конверт мини1.bmp" "Конверт мини2.bmp" "Конверт с разметкой.png" "Конверт без разметки.png"
  "Схема замеров.png"
  # the sample blanks, copied into every user's folder
  "Уведомление 4 шт сторона1.doc" "Опись.doc" "Список отправлений.doc")

# The shipped tables, made afresh from the seeds: the build's own base/ may
# hold a developer's data.
file(GLOB seeds CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tools/mkbase/seed/*.sql)
add_custom_command(
  OUTPUT ${KUVERTIX_DEB_BUILD}/base.stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${KUVERTIX_DEB_BUILD}/base
  COMMAND kuvertix-mkbase ${KUVERTIX_DEB_BUILD}/base ${PROJECT_SOURCE_DIR}/tools/mkbase/seed
  COMMAND ${CMAKE_COMMAND} -E touch ${KUVERTIX_DEB_BUILD}/base.stamp
  DEPENDS kuvertix-mkbase ${seeds}
  COMMENT "Building the tables the package ships")

execute_process(COMMAND date -R -u -d "${KUVERTIX_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE KUVERTIX_RELEASE_DATE_RFC OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${KUVERTIX_DEB_FILES}/changelog.in ${KUVERTIX_DEB_BUILD}/changelog @ONLY)
configure_file(${KUVERTIX_DEB_FILES}/${KUVERTIX_DEB_ID}.metainfo.xml.in
               ${KUVERTIX_DEB_BUILD}/${KUVERTIX_DEB_ID}.metainfo.xml @ONLY)
configure_file(${KUVERTIX_DEB_FILES}/kuvertix.1 ${KUVERTIX_DEB_BUILD}/kuvertix.1 COPYONLY)
add_custom_command(
  OUTPUT ${KUVERTIX_DEB_BUILD}/changelog.gz ${KUVERTIX_DEB_BUILD}/kuvertix.1.gz
  COMMAND gzip -9nkf ${KUVERTIX_DEB_BUILD}/changelog ${KUVERTIX_DEB_BUILD}/kuvertix.1
  DEPENDS ${KUVERTIX_DEB_BUILD}/changelog ${KUVERTIX_DEB_BUILD}/kuvertix.1)
add_custom_target(kuvertix_deb_files ALL
  DEPENDS ${KUVERTIX_DEB_BUILD}/base.stamp ${KUVERTIX_DEB_BUILD}/changelog.gz ${KUVERTIX_DEB_BUILD}/kuvertix.1.gz)

install(TARGETS kuvertix RUNTIME DESTINATION ${KUVERTIX_DEB_LIB} ${deb})
# The office's UNO libraries find theirs through $ORIGIN, so they have to be
# loaded from the office's program folder (their links in the system library
# folder are not enough): that folder is the program's one search path, as
# the lintian override says.
install(CODE "file(RPATH_SET FILE \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KUVERTIX_DEB_LIB}/kuvertix\"
  NEW_RPATH ${KUVERTIX_OFFICE_PROGRAM})" ${deb})
install(FILES ${KUVERTIX_DEB_FILES}/lintian-overrides DESTINATION share/lintian/overrides RENAME kuvertix ${deb})
install(PROGRAMS ${PROJECT_SOURCE_DIR}/app/files/kuvertix-launcher DESTINATION ${KUVERTIX_DEB_LIB} ${deb})
install(CODE "file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(CREATE_LINK ../${KUVERTIX_DEB_LIB}/kuvertix-launcher \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin/kuvertix\" SYMBOLIC)"
  ${deb})
foreach(name ${KUVERTIX_SHIPPED_FILES})
  install(FILES "${KUVERTIX_PROGRAM_DIR}/${name}" DESTINATION ${KUVERTIX_DEB_LIB} ${deb})
endforeach()
install(DIRECTORY ${KUVERTIX_DEB_BUILD}/base DESTINATION ${KUVERTIX_DEB_LIB} ${deb})
install(FILES ${KUVERTIX_DEB_FILES}/${KUVERTIX_DEB_ID}.desktop DESTINATION share/applications ${deb})
install(FILES ${KUVERTIX_DEB_BUILD}/${KUVERTIX_DEB_ID}.metainfo.xml DESTINATION share/metainfo ${deb})
install(FILES ${KUVERTIX_PROGRAM_DIR}/kuvertix.png DESTINATION share/icons/hicolor/256x256/apps ${deb})
install(FILES ${KUVERTIX_DEB_BUILD}/kuvertix.1.gz DESTINATION share/man/man1 ${deb})
install(FILES ${KUVERTIX_DEB_FILES}/copyright ${KUVERTIX_DEB_BUILD}/changelog.gz
        DESTINATION share/doc/kuvertix ${deb})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kuvertix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${KUVERTIX_DEB_BUILD})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL deb)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kuvertix developers <support@kuvertix.ru>")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.kuvertix.ru/)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "envelope and postal form printing from an address book")
# The long description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kuvertix keeps an address book of recipients and a list of senders, prints
their addresses onto envelopes laid out from editable formats, and fills
word-processor blanks (postal notices, inventories) with them through
LibreOffice. The interface is in Russian.
.
Every user gets a program folder of their own (~/.local/share/Kuvertix) with
their own tables and blanks, made on the first start.")
# The libraries the program links are found by dpkg-shlibdeps; these are what
# it needs besides: the office it drives, the fonts envelopes are laid out
# with (Arial is drawn with Liberation Sans, the windows with Wine's Tahoma),
# Qt's Russian texts and the desktop opener for help, templates and folders
# (pxlib, for reading Paradox tables, is a linked library).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "libreoffice-writer (>= 4:7.4.7), libreoffice-calc (>= 4:7.4.7), fonts-liberation (>= 1:1.07.4), \
fonts-dejavu-core (>= 2.37), fonts-wine (>= 8.0~repack), qt6-translations-l10n (>= 6.4.2), xdg-utils (>= 1.1.3)")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS cups)
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${KUVERTIX_DEB_FILES}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
