#include "update_check/report.h"

std::wstring grouped_number(unsigned long long number)
{
    std::wstring digits = std::to_wstring(number);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, L",");
    return digits;
}

unsigned long long megabytes_rounded_up(uint64_t bytes)
{
    const uint64_t megabyte = 1u << 20;
    return (bytes + megabyte - 1) / megabyte;
}
