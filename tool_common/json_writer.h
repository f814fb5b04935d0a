#pragma once
// A small JSON writer: objects, arrays, strings, whole numbers and booleans, written as they come,
// two spaces a level, with the commas in their places. Strings are escaped as JSON requires and
// otherwise kept whole; the caller writes the text out as UTF-8.
#include <cstdint>
#include <string>
#include <vector>

class Cjson_writer {
public:
    void begin_object();
    void end_object();
    void begin_array();
    void end_array();
    // The name of the next member of the current object.
    void key(const std::wstring& name);
    void value(const std::wstring& text);
    void value(const wchar_t* text) { value(std::wstring(text)); }
    void value(uint64_t number);
    void value(int number);
    void value(bool flag);
    void null();
    // A member of the current object: its name, then its value.
    void member(const std::wstring& name, const std::wstring& text) { key(name); value(text); }
    void member(const std::wstring& name, const wchar_t* text) { key(name); value(text); }
    void member(const std::wstring& name, uint64_t number) { key(name); value(number); }
    void member(const std::wstring& name, int number) { key(name); value(number); }
    void member(const std::wstring& name, bool flag) { key(name); value(flag); }
    // A member whose value is an array of texts.
    void member(const std::wstring& name, const std::vector<std::wstring>& texts);

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

// text as a JSON string, quotes included.
std::wstring json_string(const std::wstring& text);
