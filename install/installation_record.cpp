#include "install/installation_record.h"

bool read_installation_record()
{
    return true;
}

bool read_registry_text(HKEY, const std::wstring&, std::wstring&)
{
    return false;
}
