# The two Debian packages, made by `cpack -G DEB` from the build folder.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pointillo)
set(CPACK_PACKAGE_VENDOR "Pointillo Team")
set(CPACK_PACKAGE_CONTACT "Pointillo Team <support@pointillo.example>")
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE pointillo)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME pointillo)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION electronics)
# The three faces stand in for the Chinese face names the window asks for.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "fonts-wqy-zenhei, fonts-arphic-uming, fonts-arphic-ukai, fonts-liberation")
# Bitmap fonts made for LED matrices, and the compilers that take the tables.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SUGGESTS "unifont, xfonts-wqy, sdcc, as31, gcc-avr")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
    "font moulds for LED dot-matrix displays, as 8051 source code
Pointillo samples one character in a chosen typeface, or a small picture, into
the dot pattern of an LED dot-matrix display of 1 to 254 dots each way, shows
it on a panel of round LEDs where single dots can be toggled by hand, and
writes it as C51 or Asm51 source text, row-wise or column-wise, to paste into
firmware, to copy to the clipboard or to save as a .dot file.
.
The pointillo command makes whole font tables as a build step, in the byte
layout a display wants (SSD1306 pages, MAX7219 modules, P10 boards, GFX fonts
and more), from sampled faces, FreeType's monochrome pixels or bitmap fonts,
for Keil, SDCC, C99 and Arduino, and reads tables back.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libkivaro-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "pointillo (= ${PROJECT_VERSION}), qt6-base-dev")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
    "LED dot-matrix panel control for Qt programs - development files
Kivaro is the LED dot-matrix panel of Pointillo: a grid of round LEDs with
set, clear and test operations, hand toggling with the mouse and events.
This package holds what another program needs to host it: the interface
header, the hosting layer that creates the control by its ProgID from the
folder where the pointillo package installs it, and a CMake package
(find_package(Kivaro), target Kivaro::Host), with an example program.")

include(CPack)
