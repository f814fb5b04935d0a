#include "fs/file_list.h"

bool Cfile_list::list(const std::wstring&, const std::wstring&, const std::wstring&)
{
    return false;
}

void Cfile_list::scan(const std::wstring&) {}
