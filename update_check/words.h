#pragma once
// The words of update-check's reports, in the publisher's language. The string table of
// update-check.rc holds each in Japanese and in English; the placeholders %1 to %9 in it are
// filled here. The player's boxes and the texts of update.ini are quoted as they are, whatever the
// language.
#include <initializer_list>
#include <string>

#include "update_check/word_ids.h"

enum class Clanguage { japanese, english };

// Japanese where the user's Windows shows Japanese, English elsewhere.
Clanguage language_of_user();
// Chosen once, before anything is said.
void use_language(Clanguage language);

std::wstring words(unsigned id, std::initializer_list<std::wstring> fills = {});
