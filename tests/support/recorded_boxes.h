#pragma once
// In-process tests of the phases: the message boxes are recorded instead of shown, and answered
// from a script. The end-to-end tests see the real boxes of the real program.
#include <windows.h>

#include <deque>
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

    // Answers for the boxes to come, in order; a box with no answer left gets IDOK, or IDYES
    // when it asks Yes or No.
    void answer(int button) { answers_.push_back(button); }

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
        if (!self.answers_.empty()) {
            const int answer = self.answers_.front();
            self.answers_.pop_front();
            return answer;
        }
        return (flags & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    }

    Cmessage_box_function saved_;
    std::deque<int> answers_;
};
