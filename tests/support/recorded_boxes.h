#pragma once
// In-process tests of the phases: the message boxes are recorded instead of shown, and answered
// OK, or Yes when they ask Yes or No. The end-to-end tests see the real boxes of the real program.
#include <windows.h>

#include <string>
#include <vector>

#include "app/message_box.h"

struct Crecorded_box {
    std::wstring caption;
    std::wstring text;
    UINT flags = 0;
};

class Crecorded_boxes {
public:
    Crecorded_boxes() : saved_(message_box_function)
    {
        current() = this;
        message_box_function = &Crecorded_boxes::record;
    }
    ~Crecorded_boxes()
    {
        message_box_function = saved_;
        current() = nullptr;
    }
    Crecorded_boxes(const Crecorded_boxes&) = delete;
    Crecorded_boxes& operator=(const Crecorded_boxes&) = delete;

    std::vector<std::wstring> texts() const
    {
        std::vector<std::wstring> result;
        for (const Crecorded_box& box : boxes)
            result.push_back(box.text);
        return result;
    }

    std::vector<Crecorded_box> boxes;

private:
    static Crecorded_boxes*& current()
    {
        static Crecorded_boxes* instance = nullptr;
        return instance;
    }
    static int WINAPI record(HWND, LPCWSTR text, LPCWSTR caption, UINT flags)
    {
        Crecorded_boxes& self = *current();
        self.boxes.push_back({caption ? caption : L"", text ? text : L"", flags});
        return (flags & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    }

    Cmessage_box_function saved_;
};
