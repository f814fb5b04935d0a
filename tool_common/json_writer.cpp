#include "tool_common/json_writer.h"

#include "fs/text.h"

std::wstring json_string(const std::wstring& text)
{
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        switch (c) {
        case L'"': quoted += L"\\\""; break;
        case L'\\': quoted += L"\\\\"; break;
        case L'\n': quoted += L"\\n"; break;
        case L'\r': quoted += L"\\r"; break;
        case L'\t': quoted += L"\\t"; break;
        default:
            if (c < 0x20)
                quoted += format_text(L"\\u%04x", static_cast<unsigned>(c));
            else
                quoted += c;
        }
    }
    return quoted + L"\"";
}

void Cjson_writer::new_line()
{
    text_ += L"\n" + std::wstring(filled_.size() * 2, L' ');
}

void Cjson_writer::before_value()
{
    // A member's value follows its key on the same line.
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (filled_.empty())
        return;
    if (filled_.back())
        text_ += L",";
    filled_.back() = true;
    new_line();
}

void Cjson_writer::open(wchar_t bracket)
{
    before_value();
    text_ += bracket;
    filled_.push_back(false);
}

void Cjson_writer::close(wchar_t bracket)
{
    const bool filled = filled_.back();
    filled_.pop_back();
    if (filled)
        new_line();
    text_ += bracket;
    if (filled_.empty())
        text_ += L"\n";
}

void Cjson_writer::begin_object() { open(L'{'); }
void Cjson_writer::end_object() { close(L'}'); }
void Cjson_writer::begin_array() { open(L'['); }
void Cjson_writer::end_array() { close(L']'); }

void Cjson_writer::key(const std::wstring& name)
{
    before_value();
    text_ += json_string(name) + L": ";
    after_key_ = true;
}

void Cjson_writer::value(const Cjson_scalar& scalar)
{
    before_value();
    text_ += scalar.json;
}

void Cjson_writer::object(std::initializer_list<std::pair<const wchar_t*, Cjson_scalar>> members)
{
    begin_object();
    for (const auto& one : members)
        member(one.first, one.second);
    end_object();
}

void Cjson_writer::member(const std::wstring& name, const std::vector<std::wstring>& texts)
{
    key(name);
    begin_array();
    for (const std::wstring& text : texts)
        value(text);
    end_array();
}
