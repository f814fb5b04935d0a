#pragma once
// An open registry key that closes itself, so that no way out of a reading leaves it open.
#include <windows.h>

class Cregistry_key {
public:
    Cregistry_key() = default;
    ~Cregistry_key()
    {
        if (handle != nullptr)
            RegCloseKey(handle);
    }
    Cregistry_key(const Cregistry_key&) = delete;
    Cregistry_key& operator=(const Cregistry_key&) = delete;

    HKEY handle = nullptr;
};
