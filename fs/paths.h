#pragma once
// Path and string helpers. The backslash is the only separator, pieces are joined by plain
// concatenation and nothing is normalised here: paths reach Windows as they were written in
// update.ini or the registry (only made whole when they are too long for the plain form).
#include <string>
#include <vector>

// X + "\" + Y, without looking at whether X already ends in a backslash.
std::wstring join_path(const std::wstring& folder, const std::wstring& name);

std::wstring path_folder(const std::wstring& path);
// The folder part of a relative path; empty for a name alone.
std::wstring relative_parent(const std::wstring& relative);
std::wstring path_stem(const std::wstring& name);
std::wstring path_extension(const std::wstring& name);

bool folder_exists(const std::wstring& path);
bool file_exists(const std::wstring& path);

// The path to hand to a Windows call: as it is, or, when it is too long for the plain form, whole
// and with the "\\?\" prefix. Messages always show the path as the caller had it.
std::wstring long_path(const std::wstring& path);
// The path whole, resolved from the current folder as Windows resolves it (empty: that folder),
// without a trailing backslash but for a drive's root.
std::wstring full_path(const std::wstring& path);

// Makes folder the current one (empty: stays) for as long as it lives, then goes back.
class Ccurrent_folder {
public:
    explicit Ccurrent_folder(const std::wstring& folder);
    ~Ccurrent_folder();
    Ccurrent_folder(const Ccurrent_folder&) = delete;
    Ccurrent_folder& operator=(const Ccurrent_folder&) = delete;
    // False when folder could not be made the current one.
    bool entered() const { return entered_; }

private:
    std::wstring previous_;
    bool entered_ = false;
};

// Whether a name of the path leads to the parent folder ("..", "...", ".. "), with "/" read as "\".
bool has_parent_step(const std::wstring& path);

// The relative path as Windows keeps it: "/" read as "\\", empty and "." names dropped, each name
// without its trailing dots and blanks (so "..", "..." and ".. " drop out too: a path that must
// stay inside a folder is asked of confined_relative_path).
std::wstring kept_relative_path(const std::wstring& relative);
// The same, or empty when it cannot stay inside a folder: a name of dots and blanks but ".", a
// root, a drive, a stream (":"), a device name, a wildcard or a character no name may hold.
std::wstring confined_relative_path(const std::wstring& relative);

// Makes the folder and every missing one above it, by their wide names, adding each one made to made, top first. On
// failure, unmade is the first folder that could not be made (the ones above it stay).
bool make_folder_and_above(const std::wstring& folder, std::wstring& unmade, std::vector<std::wstring>* made = nullptr);

std::wstring lower_ascii(const std::wstring& text);
// The text upper-cased as Windows compares file names, for keys of names that ignore case.
std::wstring upper_case_name(std::wstring text);
// CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with or without an extension, as the last name
// of a path: Windows opens the device of that name instead of the file, wherever the file lies.
bool is_device_name(const std::wstring& path);
