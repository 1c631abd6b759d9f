#pragma once

#include <QString>

// The version of both programs, "2.2": CMake's project() version, which the packages carry too.
namespace Version {
QString text();
}
