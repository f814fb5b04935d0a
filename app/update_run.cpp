#include "app/update_run.h"

bool run_update()
{
    return copy_update();
}

bool copy_update()
{
    return true;
}
