#include "app/module_path.h"

#include <vector>

std::wstring read_module_path(HMODULE module, size_t first_capacity)
{
    // Windows paths end at 32,767 characters; past that no buffer can help.
    const size_t longest_path = 32768;
    for (size_t capacity = first_capacity < 1 ? 1 : first_capacity;; capacity *= 2) {
        if (capacity > longest_path)
            capacity = longest_path;
        std::vector<wchar_t> buffer(capacity, L'\0');
        const DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(capacity));
        if (length == 0)
            return std::wstring();
        // A result that fills the whole buffer was cut short (and, on older Windows, not even
        // terminated): try again with more room.
        if (length < capacity)
            return std::wstring(buffer.data(), length);
        if (capacity == longest_path)
            return std::wstring();
    }
}
