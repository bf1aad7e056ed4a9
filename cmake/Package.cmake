# The Debian package (scripts/package.sh runs `cpack -G DEB` in a Release build tree). Its
# dependencies on shared libraries are read from the program by dpkg-shlibdeps, so they follow
# whatever the program links; what is only loaded at run time is named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quarbel)
set(CPACK_PACKAGE_VENDOR "The Quarbel developers")
set(CPACK_PACKAGE_CONTACT "The Quarbel developers <maintainers@quarbel.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quarbel.org/")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "calculator of medical statistics for clinicians (医学统计学计算器)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
Quarbel puts eight classical methods of medical statistics on eight panels:
two-sample and paired t tests, analysis of variance with pairwise
comparisons, chi-square tests of count data (four-fold tables, paired counts,
several rates), linear correlation and regression, and the rank sum test with
Ridit analysis. Every result is recomputed on each keystroke. Data can be
imported from and exported to Excel workbooks (.xls, .xlsx). The interface is
in Simplified Chinese; the help pages are installed with the program.

Quarbel 是写给临床医生的医学统计学计算器：两样本均数t检验、配对资料t检验、
方差分析（F检验）、计数资料卡方检验、配对资料卡方检验、多个样本率卡方检验、
直线相关与回归、秩和检验及Ridit分析。结果随每一次按键立即更新；
数据可以从 Excel 工作簿导入和导出。使用帮助随程序安装，无需联网。]=])
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The interface is Chinese: without a CJK font every label is a row of boxes, and nothing the
# program links pulls one in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-zenhei | fonts-noto-cjk | fonts-wqy-microhei")
# Qt's Wayland platform plugin (otherwise Qt falls back to X11 through XWayland) and xdg-open,
# which opens the help pages in the browser.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, xdg-utils")
include(CPack)
