# Installation, the Debian package, the package's own test and the screenshot driver.
#
#   cmake --install build --prefix /tmp/p   # bin/tovmira, the desktop entry and the icon
#   cd build && cpack -G DEB                # tovmira_<version>_<arch>.deb
include(GNUInstallDirs)

set(TOVMIRA_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)

if(TARGET tovmira)
  install(TARGETS tovmira RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${TOVMIRA_DIST_DIR}/tovmira.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${TOVMIRA_DIST_DIR}/tovmira.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The Debian package. The dependency list is written out rather than computed by
# dpkg-shlibdeps so that the package is the same on every machine; dist/package_test.sh
# checks it against the libraries the binary actually links.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tovmira)
set(CPACK_PACKAGE_VENDOR "Tovmira developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tovmira developers <tovmira@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "weekday rise and fall statistics for Chinese mutual funds")
set(CPACK_PACKAGE_DESCRIPTION
    "Tovmira answers one question about a Chinese mutual fund: on which weekdays has its
net value tended to rise, and on which has it tended to fall? Type a fund code and
press 查询; Tovmira pages through a public fund-data service's net-value history and
shows, for Monday to Friday, the share of trading days on which the fund rose and the
share on which it fell.")
set(CPACK_STRIP_FILES TRUE)

set(CPACK_DEBIAN_PACKAGE_NAME tovmira)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
# qt6-qpa-plugins holds the xcb and wayland platform plugins: without it the window
# cannot open. The window's texts are Chinese, so a CJK font is needed to read them.
set(tovmira_debian_depends
    libc6
    libstdc++6
    libgcc-s1
    libqt6core6
    libqt6gui6
    libqt6widgets6
    qt6-qpa-plugins
    libcurl4
    libpcre2-16-0
    "fonts-wqy-microhei | fonts-noto-cjk")
list(JOIN tovmira_debian_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)

include(CPack)

# The package test builds the .deb into a temporary folder and inspects it. Without the
# tovmira target it still checks the desktop entry, the icon and the dependencies, then
# reports itself skipped.
if(TARGET tovmira)
  set(tovmira_package_expects_binary 1)
else()
  set(tovmira_package_expects_binary 0)
endif()
add_test(NAME Package.DebContentsAndDepends
         COMMAND bash ${TOVMIRA_DIST_DIR}/package_test.sh
                 ${CMAKE_BINARY_DIR} ${tovmira_package_expects_binary}
                 ${PROJECT_VERSION})
set_tests_properties(Package.DebContentsAndDepends PROPERTIES
                     SKIP_RETURN_CODE 77 TIMEOUT 300)

# scripts/screenshot.sh runs this driver: the real main window, pointed at the fake fund
# service, with a query typed and run, grabbed to a PNG.
if(TARGET tovmira_app AND EXISTS ${PROJECT_SOURCE_DIR}/testing/fake_fund_service.h
   AND EXISTS ${PROJECT_SOURCE_DIR}/scripts/screenshot_driver.cpp)
  add_executable(tovmira_screenshot_driver EXCLUDE_FROM_ALL
                 ${PROJECT_SOURCE_DIR}/scripts/screenshot_driver.cpp)
  target_link_libraries(tovmira_screenshot_driver PRIVATE tovmira_app tovmira_testing
                        Qt6::Widgets Qt6::Test)
endif()
