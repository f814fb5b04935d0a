#pragma once
// A JSON document written in order, for scripts and release pipelines: objects, arrays, strings
// (escaped, in UTF-16 here and UTF-8 once written out), numbers and booleans.
#include <cstdint>
#include <string>

class Cjson_text {
public:
    Cjson_text& open_object() { return open(L'{'); }
    Cjson_text& close_object() { return close(L'}'); }
    Cjson_text& open_array() { return open(L'['); }
    Cjson_text& close_array() { return close(L']'); }
    // The name of the next member of an object.
    Cjson_text& key(const std::wstring& name);
    Cjson_text& string(const std::wstring& text);
    Cjson_text& number(int64_t value);
    Cjson_text& number(uint64_t value);
    Cjson_text& number(int value) { return number(static_cast<int64_t>(value)); }
    Cjson_text& boolean(bool value);

    const std::wstring& text() const { return text_; }

private:
    Cjson_text& open(wchar_t bracket);
    Cjson_text& close(wchar_t bracket);
    void value_starts();

    std::wstring text_;
    // A value was written at the current level, so the next one needs a comma.
    bool after_value_ = false;
    bool after_key_ = false;
};
