#include "install/destination.h"

bool check_destination()
{
    return true;
}

bool confirm_destination()
{
    return true;
}
