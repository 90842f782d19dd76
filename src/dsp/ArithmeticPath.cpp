#include "ArithmeticPath.h"

namespace {

TArithmeticPath currentPath = TArithmeticPath::Fast;

}  // namespace

TArithmeticPath ArithmeticPath()
{
    return currentPath;
}

void SetArithmeticPath(TArithmeticPath path)
{
    currentPath = path;
}
