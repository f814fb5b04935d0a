#include "dialog_template.h"

namespace toolkit_test {

namespace {

class Creader {
public:
    explicit Creader(const BYTE* data) : data_(data) {}
    WORD word() { return take<WORD>(); }
    DWORD dword() { return take<DWORD>(); }
    short coordinate() { return take<short>(); }
    BYTE byte() { return take<BYTE>(); }
    // A string, or an ordinal written as "#<number>", or nothing.
    std::wstring string_or_ordinal()
    {
        const WORD first = peek_word();
        if (first == 0x0000) {
            word();
            return L"";
        }
        if (first == 0xFFFF) {
            word();
            return L"#" + std::to_wstring(word());
        }
        std::wstring text;
        for (WORD c = word(); c != 0; c = word())
            text += static_cast<wchar_t>(c);
        return text;
    }
    void align_to_dword() { offset_ = (offset_ + 3) & ~static_cast<size_t>(3); }
    void skip(size_t bytes) { offset_ += bytes; }

private:
    template <class T>
    T take()
    {
        T value;
        memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }
    WORD peek_word() const
    {
        WORD value;
        memcpy(&value, data_ + offset_, sizeof(WORD));
        return value;
    }
    const BYTE* data_;
    size_t offset_ = 0;
};

Ctemplate_item read_item(Creader& reader)
{
    reader.align_to_dword();
    Ctemplate_item item;
    item.help_id = reader.dword();
    item.extended_style = reader.dword();
    item.style = reader.dword();
    item.x = reader.coordinate();
    item.y = reader.coordinate();
    item.width = reader.coordinate();
    item.height = reader.coordinate();
    item.id = reader.dword();
    item.class_name = reader.string_or_ordinal();
    item.text = reader.string_or_ordinal();
    reader.skip(reader.word());
    return item;
}

}  // namespace

bool read_dialog_template(int template_id, WORD language, Cdialog_template& result)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(template_id), language);
    if (found == nullptr)
        return false;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    Creader reader(data);
    result.version = reader.word();
    result.signature = reader.word();
    if (result.version != 1 || result.signature != 0xFFFF)
        return false;
    result.help_id = reader.dword();
    result.extended_style = reader.dword();
    result.style = reader.dword();
    const WORD item_count = reader.word();
    result.x = reader.coordinate();
    result.y = reader.coordinate();
    result.width = reader.coordinate();
    result.height = reader.coordinate();
    result.menu = reader.string_or_ordinal();
    result.class_name = reader.string_or_ordinal();
    result.caption = reader.string_or_ordinal();
    if (result.style & DS_SETFONT) {
        result.point_size = reader.word();
        result.weight = reader.word();
        result.italic = reader.byte();
        result.charset = reader.byte();
        result.typeface = reader.string_or_ordinal();
    }
    for (WORD i = 0; i < item_count; ++i)
        result.items.push_back(read_item(reader));
    return true;
}

}  // namespace toolkit_test
