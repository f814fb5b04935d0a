#pragma once
// Under Wine a test can reach the Linux side: the Unix name of a Windows path, and Unix commands
// for what Windows itself cannot set up (an immutable file, a small file system).
#include <windows.h>

#include <string>


// The Unix path of a Windows path, or empty when not running under Wine.
inline std::string unix_path_of(const std::wstring& path)
{
    using Cto_unix = char*(CDECL*)(LPCWSTR);
    const auto to_unix = reinterpret_cast<Cto_unix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (to_unix == nullptr)
        return std::string();
    char* name = to_unix(path.c_str());
    if (name == nullptr)
        return std::string();
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Runs "/bin/sh -c <script>" and waits until it has finished. Wine gives no waitable handle nor
// exit code for a Unix program, so the script leaves a marker file when done and callers check
// the effect they asked for.
inline bool run_unix_shell(const std::string& script)
{
    wchar_t temp_folder[MAX_PATH] = {};
    wchar_t marker[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp_folder);
    if (GetTempFileNameW(temp_folder, L"sh", 0, marker) == 0)
        return false;
    DeleteFileW(marker);
    const std::string full_script = "(" + script + "); touch '" + unix_path_of(marker) + "'";

    // Unix paths are UTF-8; Wine hands the command line to the Unix side as UTF-8 again.
    std::wstring wide_script(full_script.size(), L'\0');
    wide_script.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, full_script.data(),
                                                               static_cast<int>(full_script.size()), &wide_script[0],
                                                               static_cast<int>(full_script.size()))));
    std::wstring command = L"/bin/sh -c \"";
    for (wchar_t c : wide_script) {
        if (c == L'"' || c == L'\\')
            command += L'\\';
        command += c;
    }
    command += L'"';

    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // The handles Wine reports for a Unix program are already closed; closing them again would
    // close whatever handle was given the same value since (the registry's, for one).
    for (int waited = 0; waited < 60000; waited += 20) {
        if (GetFileAttributesW(marker) != INVALID_FILE_ATTRIBUTES) {
            DeleteFileW(marker);
            return true;
        }
        Sleep(20);
    }
    return false;
}

// Quoted for the shell; the Unix paths of Wine prefixes hold no single quote.
inline std::string shell_quoted(const std::string& text)
{
    return "'" + text + "'";
}
