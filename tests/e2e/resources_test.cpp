// The resources of the built update.exe, read back out of the file: the progress dialog's
// template 101, the manifest and the version.
#include <gtest/gtest.h>

#include <cwchar>

#include "driver.h"

TEST(Resources, DialogTemplateManifestAndVersion)
{
    const std::wstring exe = e2e::built(E2E_UPDATE_EXE);
    const HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    const auto resource = [&](LPCWSTR type, int id) {
        const HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
        return found ? std::string(static_cast<const char*>(LockResource(LoadResource(module, found))),
                                   SizeofResource(module, found))
                     : std::string("(none in Japanese)");
    };

    // The DIALOGEX template 101 as it must be, field by field.
    std::string expected;
    const auto put = [&](uint32_t value, size_t size) { expected.append(reinterpret_cast<const char*>(&value), size); };
    const auto text = [&](const wchar_t* text) {
        expected.append(reinterpret_cast<const char*>(text), (wcslen(text) + 1) * sizeof(wchar_t));
    };
    for (const auto& [value, size] : {std::pair<uint32_t, size_t>{1, 2}, {0xFFFF, 2}, {0, 4}, {0, 4}, {0x80C808C8, 4},
                                      {3, 2}, {0, 2}, {0, 2}, {218, 2}, {70, 2}, {0, 2}, {0, 2}})
        put(value, size);  // version, extended; help id, extended style, style; 3 controls at 0, 0, 218 x 70; no menu nor class
    text(L"Dialog");
    put(8, 2), put(400, 2), put(0, 1), put(1, 1);  // 8 point, weight 400, not italic, character set 1
    text(L"MS Shell Dlg");
    const struct { uint32_t style, y, id; } controls[] = {{0x50800000, 34, 1001}, {0x50800000, 53, 1002}, {0x50020200, 3, 1003}};
    for (const auto& control : controls) {
        expected.resize((expected.size() + 3) & ~size_t(3), '\0');
        put(0, 4), put(0, 4), put(control.style, 4), put(7, 2), put(control.y, 2), put(204, 2), put(14, 2), put(control.id, 4);
        if (control.id == 1003)
            put(0xFFFF, 2), put(0x0082, 2), text(L"...");  // the static class, "..."
        else
            text(L"msctls_progress32"), put(0, 2);
        put(0, 2);  // no creation data
    }
    EXPECT_EQ(resource(RT_DIALOG, 101), expected);

    // No dependency on the version 6 common controls: the classic controls are used.
    const std::string manifest = resource(RT_MANIFEST, 1);
    EXPECT_NE(manifest.find("<assembly"), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("dependency"), std::string::npos) << manifest;
    FreeLibrary(module);

    std::string version(GetFileVersionInfoSizeW(exe.c_str(), nullptr), '\0');
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(version.size()), &version[0]));
    VS_FIXEDFILEINFO* fixed = nullptr;
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0u);
    ASSERT_TRUE(VerQueryValueW(version.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    for (const auto& [name, value] : {std::pair<const wchar_t*, const wchar_t*>{L"InternalName", L"update"},
                                      {L"OriginalFilename", L"update.exe"}, {L"FileVersion", L"1.0.0.0"}}) {
        wchar_t query[64], *found = nullptr;
        swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
        ASSERT_TRUE(VerQueryValueW(version.data(), query, reinterpret_cast<void**>(&found), &length)) << e2e::utf8(query);
        EXPECT_EQ(std::wstring(found), value);
    }
}
