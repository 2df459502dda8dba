#include "interchange/InterchangeCommand.h"

#include <cstdio>

int RunInterchangeCommand(const InterchangeRequest&, const QString&, const QString&)
{
    std::fputs("Import and export are not built yet.\n", stderr);
    return 1;
}
