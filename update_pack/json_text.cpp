#include "update_pack/json_text.h"

#include <cwchar>

void Cjson_text::value_starts()
{
    if (after_value_ && !after_key_)
        text_ += L',';
    after_key_ = false;
}

Cjson_text& Cjson_text::open(wchar_t bracket)
{
    value_starts();
    text_ += bracket;
    after_value_ = false;
    return *this;
}

Cjson_text& Cjson_text::close(wchar_t bracket)
{
    text_ += bracket;
    after_value_ = true;
    return *this;
}

Cjson_text& Cjson_text::key(const std::wstring& name)
{
    string(name);
    text_ += L':';
    after_key_ = true;
    return *this;
}

Cjson_text& Cjson_text::string(const std::wstring& text)
{
    value_starts();
    text_ += L'"';
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            text_ += L'\\';
            text_ += c;
        } else if (c == L'\n') {
            text_ += L"\\n";
        } else if (c < 0x20) {
            wchar_t escaped[8];
            swprintf(escaped, 8, L"\\u%04x", static_cast<unsigned>(c));
            text_ += escaped;
        } else {
            text_ += c;
        }
    }
    text_ += L'"';
    after_value_ = true;
    return *this;
}

Cjson_text& Cjson_text::number(int64_t value)
{
    value_starts();
    text_ += std::to_wstring(value);
    after_value_ = true;
    return *this;
}

Cjson_text& Cjson_text::number(uint64_t value)
{
    value_starts();
    text_ += std::to_wstring(value);
    after_value_ = true;
    return *this;
}

Cjson_text& Cjson_text::boolean(bool value)
{
    value_starts();
    text_ += value ? L"true" : L"false";
    after_value_ = true;
    return *this;
}
