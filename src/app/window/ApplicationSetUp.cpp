#include "ApplicationSetUp.h"

#include <clocale>

void SetUpApplication()
{
    // Qt sets the C locale from the environment; model files are read with '.' as the decimal point.
    std::setlocale(LC_NUMERIC, "C");
}
