#include "app/file_copy.h"

bool copy_file_with_progress(const std::wstring&, uint64_t, uint64_t&)
{
    return true;
}
