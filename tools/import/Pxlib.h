#pragma once

// pxlib's header declares C functions without telling a C++ compiler so.
#include <cstdio>
#include <iconv.h>
extern "C" {
#include <paradox.h>
}
