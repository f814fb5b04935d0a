#pragma once
// Writes the report where the publisher reads it. A console gets UTF-16 through WriteConsoleW and
// shows every character; a pipe or a file gets UTF-8, which Linux terminals, Wine's pipes and
// today's Windows editors all read (or the ANSI code page when asked, for older Windows tools).
#include <string>

enum class Cpipe_encoding { utf8, ansi };

void write_output(const std::wstring& text, Cpipe_encoding pipe_encoding);
