// The resources of the built update.exe, read back out of the file: the progress dialog's
// template 101, the manifest and the version.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "harness.h"

using namespace e2e;

namespace {

// Reads a DIALOGEX template field by field, with the alignment the format prescribes.
class Ctemplate_reader {
public:
    Ctemplate_reader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    WORD word() { return read<WORD>(); }
    DWORD dword() { return read<DWORD>(); }
    short signed_word() { return read<short>(); }
    BYTE byte() { return read<BYTE>(); }

    std::wstring text()
    {
        std::wstring result;
        for (WORD c = word(); c != 0 && ok(); c = word())
            result += static_cast<wchar_t>(c);
        return result;
    }

    // A name or an ordinal: "" for none, "#130" for the ordinal 130, else the name.
    std::wstring name_or_ordinal()
    {
        const WORD first = word();
        if (first == 0x0000)
            return L"";
        if (first == 0xFFFF)
            return L"#" + std::to_wstring(word());
        offset_ -= sizeof(WORD);
        return text();
    }

    void align_to_dword() { offset_ = (offset_ + 3) & ~static_cast<size_t>(3); }
    void skip(size_t bytes) { offset_ += bytes; }
    bool ok() const { return offset_ <= size_; }

private:
    template <typename T>
    T read()
    {
        T value{};
        if (offset_ + sizeof(T) <= size_)
            std::memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }

    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
};

struct Citem {
    DWORD help_id, ex_style, style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring class_name, text;
};

class Resources : public testing::Test {
protected:
    void SetUp() override
    {
        module_ = LoadLibraryExW(built_update_exe().c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << "error " << GetLastError();
    }
    void TearDown() override
    {
        if (module_)
            FreeLibrary(module_);
    }

    // The bytes of a resource in the given language, empty when it is missing.
    std::string resource(LPCWSTR type, LPCWSTR name, WORD language) const
    {
        const HRSRC found = FindResourceExW(module_, type, name, language);
        if (found == nullptr)
            return {};
        const HGLOBAL loaded = LoadResource(module_, found);
        const void* bytes = LockResource(loaded);
        return std::string(static_cast<const char*>(bytes), SizeofResource(module_, found));
    }

    HMODULE module_ = nullptr;
};

const WORD JAPANESE = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

}  // namespace

TEST_F(Resources, ProgressDialogTemplateIsTheJapaneseDialogExWithItsThreeControls)
{
    ASSERT_EQ(JAPANESE, 0x0411);
    const std::string bytes = resource(RT_DIALOG, MAKEINTRESOURCEW(101), JAPANESE);
    ASSERT_FALSE(bytes.empty()) << "no dialog 101 in language 0x0411";
    Ctemplate_reader reader(reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());

    EXPECT_EQ(reader.word(), 1);       // version
    EXPECT_EQ(reader.word(), 0xFFFF);  // signature: extended template
    EXPECT_EQ(reader.dword(), 0u);     // help id
    EXPECT_EQ(reader.dword(), 0u);     // extended style
    EXPECT_EQ(reader.dword(), 0x80C808C8u);
    const WORD item_count = reader.word();
    EXPECT_EQ(item_count, 3);
    EXPECT_EQ(reader.signed_word(), 0);
    EXPECT_EQ(reader.signed_word(), 0);
    EXPECT_EQ(reader.signed_word(), 218);
    EXPECT_EQ(reader.signed_word(), 70);
    EXPECT_EQ(reader.name_or_ordinal(), L"");  // menu
    EXPECT_EQ(reader.name_or_ordinal(), L"");  // class
    EXPECT_EQ(reader.text(), L"Dialog");
    EXPECT_EQ(reader.word(), 8);    // points
    EXPECT_EQ(reader.word(), 400);  // weight
    EXPECT_EQ(reader.byte(), 0);    // italic
    EXPECT_EQ(reader.byte(), 1);    // character set
    EXPECT_EQ(reader.text(), L"MS Shell Dlg");

    const Citem expected[] = {
        {0, 0, 0x50800000, 7, 34, 204, 14, 1001, L"msctls_progress32", L""},
        {0, 0, 0x50800000, 7, 53, 204, 14, 1002, L"msctls_progress32", L""},
        {0, 0, 0x50020200, 7, 3, 204, 14, 1003, L"#130", L"..."},
    };
    for (int i = 0; i < item_count && i < 3; ++i) {
        SCOPED_TRACE("control " + std::to_string(expected[i].id));
        reader.align_to_dword();
        Citem item = {};
        item.help_id = reader.dword();
        item.ex_style = reader.dword();
        item.style = reader.dword();
        item.x = reader.signed_word();
        item.y = reader.signed_word();
        item.cx = reader.signed_word();
        item.cy = reader.signed_word();
        item.id = reader.dword();
        item.class_name = reader.name_or_ordinal();
        item.text = reader.name_or_ordinal();
        reader.skip(reader.word());  // creation data
        EXPECT_EQ(item.help_id, 0u);
        EXPECT_EQ(item.ex_style, 0u);
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_EQ(item.x, expected[i].x);
        EXPECT_EQ(item.y, expected[i].y);
        EXPECT_EQ(item.cx, expected[i].cx);
        EXPECT_EQ(item.cy, expected[i].cy);
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.class_name, expected[i].class_name);
        EXPECT_EQ(item.text, expected[i].text);
    }
    EXPECT_TRUE(reader.ok()) << "the template is shorter than its contents";
}

// Without a dependency on the version 6 common controls the classic controls are used.
TEST_F(Resources, ManifestDeclaresNoDependency)
{
    const HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_NE(found, nullptr) << "no manifest (type 24, id 1)";
    const std::string manifest(static_cast<const char*>(LockResource(LoadResource(module_, found))),
                               SizeofResource(module_, found));
    EXPECT_NE(manifest.find("<assembly"), std::string::npos) << manifest;
    EXPECT_EQ(manifest.find("dependency"), std::string::npos) << manifest;
}

TEST(Version, NamesTheProgramAndItsVersion)
{
    const std::wstring path = built_update_exe();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, &block[0]));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);

    struct Ctranslation {
        WORD language, code_page;
    }* translation = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                               &length));
    ASSERT_GE(length, sizeof(Ctranslation));
    wchar_t table[16];
    swprintf(table, 16, L"%04x%04x", translation->language, translation->code_page);

    struct Cstring_case {
        const wchar_t* name;
        const wchar_t* value;
    };
    const Cstring_case strings[] = {
        {L"InternalName", L"update"},
        {L"OriginalFilename", L"update.exe"},
        {L"FileVersion", L"1.0.0.0"},
    };
    for (const Cstring_case& s : strings) {
        const std::wstring query = std::wstring(L"\\StringFileInfo\\") + table + L"\\" + s.name;
        wchar_t* value = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
            << to_utf8(query);
        EXPECT_EQ(std::wstring(value), s.value) << to_utf8(query);
    }
}
