# Debian packages, one per install component, made by CPack (scripts/package).
# Build with CMAKE_INSTALL_PREFIX=/usr for them.

# package name, section, summary and description of each component
set(ostrel_packages
  runtime libostrel1 libs
    "XML reader and writer components for Shift-JIS files"
    "Ostrel's in-process component library, CXmlReader and CXmlWriter, and the\ncomponent runtime that loads it. Files are Shift-JIS text with CR LF line\nends, and text in memory is UTF-16. Ostrel is registered system-wide."
  tools ostrel-tools utils
    "Command-line tools for Ostrel's component model"
    "ostrel-regsvr registers and unregisters component libraries, ostrel-dump\nshows what Ostrel's reader reports for an XML file, and ostrel-call drives\nany registered class from a script of JSON lines."
  dev libostrel-dev libdevel
    "Development files for Ostrel"
    "Headers under include/ostrel/, the CMake package Ostrel (target\nOstrel::Ostrel) and the pkg-config file ostrel.pc, for programs that create\nOstrel's XML reader and writer through the component runtime."
  lintrow lintrow utils
    "Memo viewer for Shift-JIS XML memo files"
    "Lintrow shows up to nine memos, each a title and a text, from the memo\nfile memo.xml in a three-by-three grid. The package's memo file is\n/etc/lintrow/memo.xml."
  python python3-ostrel python
    "Python binding of Ostrel"
    "The Python 3 package ostrel creates Ostrel's XML reader and writer, or\nany other registered class, by ProgID and calls their operations by name.\nA Python object can serve as the reader's handler.")

get_cmake_property(installed_components COMPONENTS)
set(CPACK_COMPONENTS_ALL)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
ostrel_gzip(${CMAKE_CURRENT_SOURCE_DIR}/changelog ${changelog})

while(ostrel_packages)
  list(POP_FRONT ostrel_packages component package section summary description)
  if(NOT component IN_LIST installed_components)
    continue()
  endif()
  list(APPEND CPACK_COMPONENTS_ALL ${component})
  string(TOUPPER ${component} upper)
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME ${package})
  set(CPACK_DEBIAN_${upper}_PACKAGE_SECTION ${section})
  set(CPACK_DEBIAN_${upper}_DESCRIPTION "${summary}\n${description}")
  install(FILES copyright ${changelog} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
endwhile()

# Packages depend on the ones their components need.
set(CPACK_COMPONENT_TOOLS_DEPENDS runtime)
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_COMPONENT_LINTROW_DEPENDS runtime)
set(CPACK_COMPONENT_PYTHON_DEPENDS runtime)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# The native module is built for this one Python version's interface.
if(python IN_LIST CPACK_COMPONENTS_ALL)
  math(EXPR next_minor "${Python3_VERSION_MINOR} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "python3 (>= ${Python3_VERSION_MAJOR}.${Python3_VERSION_MINOR}), python3 (<< ${Python3_VERSION_MAJOR}.${next_minor})")
endif()
set(CPACK_DEBIAN_LINTROW_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic")
set(CPACK_DEBIAN_LINTROW_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/lintrow/conffiles)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# dpkg refreshes the loader's cache once for all packages through this trigger.
# (CPack adds its own ldconfig calls as well, which lintian warns about.)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/runtime/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_BINARY_DIR}/runtime/triggers)

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_PACKAGE_NAME ostrel)
set(CPACK_PACKAGE_VENDOR "The Ostrel developers")
set(CPACK_PACKAGE_CONTACT "The Ostrel developers <ostrel@example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps runs in each component's staging folder and finds the
# runtime's libraries in the runtime's one beside it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ../runtime${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR})
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Files go where install() puts them, /etc included.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
include(CPack)
