#pragma once
// A game key as an installer leaves it, under HKEY_CURRENT_USER\SOFTWARE (or another root) with a
// name no other test uses, removed again when the test ends.
#include <windows.h>

#include <string>
#include <vector>

class Ctest_registry_key {
public:
    explicit Ctest_registry_key(HKEY root = HKEY_CURRENT_USER) : root_(root)
    {
        static unsigned counter = 0;
        wchar_t name[80];
        swprintf(name, 80, L"UpdateTest_%lu_%u", GetCurrentProcessId(), ++counter);
        name_ = name;
    }
    ~Ctest_registry_key()
    {
        if (key_)
            RegCloseKey(key_);
        RegDeleteTreeW(root_, subkey().c_str());
        RegDeleteKeyW(root_, subkey().c_str());
    }
    Ctest_registry_key(const Ctest_registry_key&) = delete;
    Ctest_registry_key& operator=(const Ctest_registry_key&) = delete;

    // What update.ini's REG_NAME would hold for this key.
    const std::wstring& name() const { return name_; }

    // A string the way installers write one: REG_SZ with its terminating NUL counted.
    bool set_text(const std::wstring& value_name, const std::wstring& text)
    {
        return set_bytes(value_name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }

    // Exactly these bytes. Windows quietly stores one more character when a string's data is
    // followed in memory by a NUL it was not given, so the copy handed over is followed by a
    // character that is not NUL; the stored size is checked afterwards.
    bool set_bytes(const std::wstring& value_name, DWORD type, const void* data, size_t byte_count)
    {
        std::vector<BYTE> guarded(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + byte_count);
        guarded.insert(guarded.end(), {0xFF, 0xFF});
        DWORD stored = 0;
        const bool created = key_ || RegCreateKeyExW(root_, subkey().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                     &key_, nullptr) == ERROR_SUCCESS;
        return created &&
               RegSetValueExW(key_, value_name.c_str(), 0, type, guarded.data(), static_cast<DWORD>(byte_count)) ==
                   ERROR_SUCCESS &&
               RegQueryValueExW(key_, value_name.c_str(), nullptr, nullptr, nullptr, &stored) == ERROR_SUCCESS &&
               stored == byte_count;
    }

private:
    std::wstring subkey() const { return L"SOFTWARE\\" + name_; }

    HKEY root_;
    HKEY key_ = nullptr;
    std::wstring name_;
};
