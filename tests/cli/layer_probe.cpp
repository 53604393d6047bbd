// Compiled only by the layering test: a front end that reaches around the
// session must not build.
#include "hardware/Programmer.h"
