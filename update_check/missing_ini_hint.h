#pragma once
// When update.ini is missing, the file in the package folder that was most likely meant to be it.
// Windows Explorer hides the extensions it knows, so "update.ini.txt", saved by Notepad, shows as
// "update.ini" there and looks right to the publisher.
#include <string>

// In the current directory; empty text when nothing there looks like a misnamed update.ini.
std::wstring missing_update_ini_hint();
