#include "update_ini/source_checks.h"

bool check_names()
{
    return true;
}

bool check_sources()
{
    return true;
}
