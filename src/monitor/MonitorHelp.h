#pragma once

#include <QString>

// The text of telvane-monitor --help. Its manual page is made from it, so it
// keeps the form the page's maker reads (see cmake/ManPage.cmake); no line is
// wider than 79 characters.
QString MonitorHelp();
