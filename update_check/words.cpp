#include "update_check/words.h"

#include <windows.h>

namespace {

LANGID g_language = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// Strings are stored sixteen to a block, each one its length and then its characters.
std::wstring load_string(unsigned id, LANGID language)
{
    const HRSRC block = FindResourceExW(nullptr, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    const HGLOBAL loaded = block != nullptr ? LoadResource(nullptr, block) : nullptr;
    const wchar_t* entry = loaded != nullptr ? static_cast<const wchar_t*>(LockResource(loaded)) : nullptr;
    if (entry == nullptr)
        return std::wstring();
    for (unsigned i = 0; i < id % 16; ++i)
        entry += 1 + *entry;
    return std::wstring(entry + 1, *entry);
}

}  // namespace

Clanguage language_of_user()
{
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Clanguage::japanese : Clanguage::english;
}

void use_language(Clanguage language)
{
    g_language = language == Clanguage::japanese ? MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)
                                                 : MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

std::wstring words(unsigned id, std::initializer_list<std::wstring> fills)
{
    const std::wstring pattern = load_string(id, g_language);
    std::wstring text;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const size_t fill = i + 1 < pattern.size() ? static_cast<size_t>(pattern[i + 1] - L'1') : fills.size();
        if (pattern[i] == L'%' && fill < fills.size()) {
            text += fills.begin()[fill];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}
