#pragma once
// A small JSON writer: objects, arrays, strings, whole numbers and booleans, written as they come,
// two spaces a level, with the commas in their places. Strings are escaped as JSON requires and
// otherwise kept whole; the caller writes the text out as UTF-8.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// text as a JSON string, quotes included.
std::wstring json_string(const std::wstring& text);

// A value that holds no other: a text, a whole number, a flag or null, as JSON writes it.
struct Cjson_scalar {
    Cjson_scalar(const std::wstring& text) : json(json_string(text)) {}
    Cjson_scalar(const wchar_t* text) : json(json_string(text)) {}
    Cjson_scalar(uint64_t number) : json(std::to_wstring(number)) {}
    Cjson_scalar(int number) : json(std::to_wstring(number)) {}
    Cjson_scalar(bool flag) : json(flag ? L"true" : L"false") {}
    Cjson_scalar(std::nullptr_t) : json(L"null") {}
    std::wstring json;
};

class Cjson_writer {
public:
    void begin_object();
    void end_object();
    void begin_array();
    void end_array();
    // The name of the next member of the current object.
    void key(const std::wstring& name);
    void value(const Cjson_scalar& scalar);
    // A member of the current object: its name, then its value.
    void member(const std::wstring& name, const Cjson_scalar& scalar) { key(name); value(scalar); }
    // A member whose value is an array of texts.
    void member(const std::wstring& name, const std::vector<std::wstring>& texts);
    // An object of these members only.
    void object(std::initializer_list<std::pair<const wchar_t*, Cjson_scalar>> members);
    // A member whose value is an array, each of items written by write_item.
    template <class Citems, class Cwrite_item>
    void array(const std::wstring& name, const Citems& items, Cwrite_item write_item)
    {
        key(name);
        begin_array();
        for (const auto& item : items)
            write_item(item);
        end_array();
    }

    const std::wstring& text() const { return text_; }

private:
    void before_value();
    void open(wchar_t bracket);
    void close(wchar_t bracket);
    void new_line();

    std::wstring text_;
    // One entry per open object or array: whether it holds a value yet.
    std::vector<bool> filled_;
    bool after_key_ = false;
};
